// PageKeys: what a person's keys do to dialog pages shown one under
// another, done through the window model as a person's clicks and typing
// are (user_input.h): Tab moves the focus through the fields of every page
// (the field left behind stores its value), keys edit the focused edit's
// text, Up and Down choose in a list. The caret of each
// edit lives here, since the model keeps none. Host's thread only.
#pragma once

#include "host/os/terminal_screen.h"
#include "host/page/interactive_page.h"
#include "platform/win_types.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

// The keys that end a page whatever has the focus: Enter confirms, Esc
// cancels, Ctrl-C interrupts; Open for any other.
PageEnd EndOf(const TerminalKey &key);

class PageKeys {
public:
    // Puts the focus on the first field, as the system does when a dialog
    // opens.
    explicit PageKeys(std::vector<HWND> pages);

    // Open while the page goes on. Enter confirms, Esc cancels, Ctrl-C
    // interrupts.
    PageEnd Press(const TerminalKey &key);
    // Where the caret stands in the focused edit's text (bytes of
    // Windows-1251, one letter each); 0 for other controls.
    std::size_t Caret() const;

private:
    void MoveFocus(int step);
    void ChooseNearItem(int step);
    void ChooseNextItemRound();
    bool EditKey(const TerminalKey &key);
    void Insert(wchar_t character);
    void Replace(std::size_t from, std::size_t to, const std::string &with);

    std::vector<HWND> m_pages;
    std::map<HWND, std::size_t> m_carets;
};
