// CWnd: the object bound to a window handle, as in the framework. Whoever
// creates the object owns it; destroying it destroys a window still bound
// to it, and destroying the window first only unbinds it. A message map
// routes the WM_COMMAND notifications of a window's children to handlers
// of the derived class. Owner thread of the window only.
#pragma once

#include "platform/cstring.h"
#include "platform/user_interface.h"
#include "platform/win_types.h"

#include <span>

class CDataExchange;
class CWnd;

using CommandHandler = void (CWnd::*)();

// One row of a message map: notification `code` from child `id`.
struct MessageMapEntry {
    UINT code;
    int id;
    CommandHandler handler;
};

struct MessageMap {
    const MessageMap *base;
    std::span<const MessageMapEntry> entries;
};

// A message map row for a handler of a class derived from CWnd.
template <typename Window>
constexpr MessageMapEntry OnCommandNotify(UINT code, int id, void (Window::*handler)())
{
    return MessageMapEntry{code, id, static_cast<CommandHandler>(handler)};
}

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd &) = delete;
    CWnd &operator=(const CWnd &) = delete;

    // The bound object, or one that the window keeps for itself; null for
    // a handle that is no live window of the calling thread.
    static CWnd *FromHandle(HWND window);
    // Binds this object to a window that has no bound object yet.
    BOOL Attach(HWND window);
    HWND Detach();
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Creates a window of class "Edit", "Static", "ComboBox",
    // "SysTreeView32", "#32770" (dialog) or any other name (a plain window)
    // and binds this object to it. `rect` is in dialog units (in pixels on
    // Windows, as the system takes it).
    BOOL CreateEx(DWORD exStyle, const char *className, const char *windowName, DWORD style, const RECT &rect,
                  CWnd *parent, UINT id);
    virtual BOOL DestroyWindow();

    CWnd *GetParent() const;
    CWnd *GetDlgItem(int id) const;
    int GetDlgCtrlID() const;
    void SetWindowText(const char *text);
    void GetWindowText(CString &text) const;
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    CWnd *SetFocus();
    static CWnd *GetFocus();
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // Runs DoDataExchange: FALSE puts the members into the controls, TRUE
    // fetches the controls' texts into the members.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // Every message of the bound window arrives here.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;

protected:
    virtual void DoDataExchange(CDataExchange *dx);
    // Runs the first message map row for the notification; FALSE when none.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // What the window does with a message this object leaves alone.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual const MessageMap *GetMessageMap() const;

    // The map with no rows that every derived map chains to.
    static const MessageMap s_messageMap;
};
