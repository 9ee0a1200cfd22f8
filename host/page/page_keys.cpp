#include "host/page/page_keys.h"

#include "host/page/page_layout.h"
#include "host/text/text_codec.h"
#include "platform/host_window.h"
#include "platform/user_input.h"
#include "platform/user_interface.h"

#include <curses.h>

#include <algorithm>
#include <cwctype>
#include <optional>
#include <utility>

namespace {

constexpr wint_t CTRL_C = 3;
constexpr wint_t CTRL_U = 21;
constexpr wint_t ESCAPE = 27;
constexpr wint_t DELETE_CHARACTER = 127;

bool IsEdit(HWND window) { return GetWindowKind(window) == WindowKind::Edit; }
bool IsList(HWND window) { return GetWindowKind(window) == WindowKind::ComboBox; }

std::string TextOf(HWND window) { return GetWindowString(window).str(); }

// The controls Tab visits, in tab order.
std::vector<HWND> FocusOrder(const std::vector<HWND> &pages)
{
    std::vector<HWND> order;
    for (const PageItem &item : ReadPages(pages).items)
        if (TakesFocus(item))
            order.push_back(item.window);
    return order;
}

bool Is(const TerminalKey &key, wint_t code, bool function = false)
{
    return key.code == code && key.function == function;
}

bool IsEnter(const TerminalKey &key) { return Is(key, '\r') || Is(key, '\n') || Is(key, KEY_ENTER, true); }
bool IsBackspace(const TerminalKey &key)
{
    return Is(key, KEY_BACKSPACE, true) || Is(key, DELETE_CHARACTER) || Is(key, '\b');
}

}  // namespace

PageEnd EndOf(const TerminalKey &key)
{
    if (IsEnter(key))
        return PageEnd::Confirmed;
    if (Is(key, ESCAPE))
        return PageEnd::Cancelled;
    if (Is(key, CTRL_C))
        return PageEnd::Interrupted;
    return PageEnd::Open;
}

PageKeys::PageKeys(std::vector<HWND> pages) : m_pages(std::move(pages)) { MoveFocus(0); }

PageEnd PageKeys::Press(const TerminalKey &key)
{
    if (const PageEnd end = EndOf(key); end != PageEnd::Open)
        return end;
    if (Is(key, KEY_RESIZE, true))
        return PageEnd::Open;  // drawn anew for the new size
    const HWND focus = GetFocus();
    const bool list = IsList(focus);
    if (Is(key, '\t') || (!list && Is(key, KEY_DOWN, true)))
        MoveFocus(1);
    else if (Is(key, KEY_BTAB, true) || (!list && Is(key, KEY_UP, true)))
        MoveFocus(-1);
    else if (list && (Is(key, KEY_DOWN, true) || Is(key, KEY_UP, true)))
        ChooseNearItem(Is(key, KEY_DOWN, true) ? 1 : -1);
    else if (list && Is(key, ' '))
        ChooseNextItemRound();
    else if (!IsEdit(focus) || !EditKey(key))
        beep();
    return PageEnd::Open;
}

std::size_t PageKeys::Caret() const
{
    const HWND focus = GetFocus();
    const auto caret = m_carets.find(focus);
    return caret == m_carets.end() ? 0 : std::min(caret->second, TextOf(focus).size());
}

// Step 0 puts the focus on the first control; a control that entered by
// Tab has its caret after its text.
void PageKeys::MoveFocus(int step)
{
    const std::vector<HWND> order = FocusOrder(m_pages);
    if (order.empty())
        return;
    const auto current = std::find(order.begin(), order.end(), GetFocus());
    const int count = static_cast<int>(order.size());
    const int at = current == order.end() ? 0 : static_cast<int>(current - order.begin()) + step;
    const HWND next = order[static_cast<std::size_t>((at % count + count) % count)];
    SetFocus(next);
    m_carets[next] = TextOf(next).size();
}

// From no selection, Down chooses the first item and Up the last.
void PageKeys::ChooseNearItem(int step)
{
    const HWND list = GetFocus();
    const int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
    const int current = static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0));
    const int next = current < 0 ? (step > 0 ? 0 : count - 1) : current + step;
    if (next < 0 || next >= count || !ChooseListItem(list, next))
        beep();
}

// Space steps through the list and starts again at its top.
void PageKeys::ChooseNextItemRound()
{
    const HWND list = GetFocus();
    const int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
    const int current = static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0));
    if (count <= 0 || !ChooseListItem(list, (current + 1) % count))
        beep();
}

bool PageKeys::EditKey(const TerminalKey &key)
{
    const std::size_t caret = Caret();
    const std::size_t length = TextOf(GetFocus()).size();
    if (IsBackspace(key) && caret > 0)
        Replace(caret - 1, caret, "");
    else if (Is(key, KEY_DC, true) && caret < length)
        Replace(caret, caret + 1, "");
    else if (Is(key, CTRL_U))
        Replace(0, caret, "");
    else if (Is(key, KEY_LEFT, true) && caret > 0)
        m_carets[GetFocus()] = caret - 1;
    else if (Is(key, KEY_RIGHT, true) && caret < length)
        m_carets[GetFocus()] = caret + 1;
    else if (Is(key, KEY_HOME, true))
        m_carets[GetFocus()] = 0;
    else if (Is(key, KEY_END, true))
        m_carets[GetFocus()] = length;
    else if (!key.function && std::iswprint(static_cast<wint_t>(key.code)))
        Insert(static_cast<wchar_t>(key.code));
    else
        return false;
    return true;
}

void PageKeys::Insert(wchar_t character)
{
    const std::optional<std::string> ansi = WideToAnsi(std::wstring_view(&character, 1));
    if (!ansi) {
        beep();
        return;
    }
    const std::size_t caret = Caret();
    Replace(caret, caret, *ansi);
}

// Typing replaces the edit's text as a person's typing does.
void PageKeys::Replace(std::size_t from, std::size_t to, const std::string &with)
{
    const HWND edit = GetFocus();
    std::string text = TextOf(edit);
    text.replace(from, to - from, with);
    TypeText(edit, text.c_str());
    m_carets[edit] = from + with.size();
}
