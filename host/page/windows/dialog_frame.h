// DialogFrame: the host's settings window made a dialog for a person, for
// as long as the object lives: its tree on the left, the plug-in's page on
// the right with the host's sections under it, a line for notices, OK and
// Cancel, all in the page's dialog units and font. The dialog manager
// gives the keys of any dialog (IsDialogMessage): Tab and Shift-Tab move,
// Enter is OK, Esc is Cancel; closing the window is Cancel too. Host's
// thread only.
#pragma once

#include "platform/win_types.h"

#include <functional>
#include <string>
#include <vector>

class DialogFrame {
public:
    // `pages`: the plug-in's page, a child of the settings window beside
    // its tree, then the host's sections, whose controls were made with
    // dialog units for pixels. Shows the window with the focus on the
    // page's first field.
    DialogFrame(const std::vector<HWND> &pages, const std::string &title);
    ~DialogFrame();
    DialogFrame(const DialogFrame &) = delete;
    DialogFrame &operator=(const DialogFrame &) = delete;

    HWND Window() const { return m_window; }
    // Runs the thread's messages until OK or Cancel is pressed (IDOK,
    // IDCANCEL), or until `stop` holds when they have run (0).
    int WaitForButton(const std::function<bool()> &stop);
    // The notice line's text (UTF-8); empty clears it.
    void ShowNotice(const std::string &text);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void LayOut(const std::vector<HWND> &pages);
    LONG AddFoot(LONG left, LONG right, LONG top);
    void Resize(RECT client);
    HWND AddControl(const wchar_t *className, const wchar_t *text, DWORD style, int id, const RECT &at);

    HWND m_window;
    HWND m_page;
    WNDPROC m_procedure = nullptr;  // the settings window's own
    HWND m_notice = nullptr;
    int m_pressed = 0;
};
