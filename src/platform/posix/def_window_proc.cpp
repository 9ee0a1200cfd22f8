// DefWindowProcA: what each kind of window does by itself.
#include "platform/posix/window_object.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

void NotifyParent(HWND window, UINT code)
{
    if (window->parent)
        SendMessageA(window->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(window->id), static_cast<WORD>(code)),
                     reinterpret_cast<LPARAM>(window));
}

LRESULT CopyText(const CString &text, WPARAM size, LPARAM buffer)
{
    if (size == 0 || !buffer)
        return 0;
    const std::size_t count = std::min<std::size_t>(text.str().size(), size - 1);
    auto *target = reinterpret_cast<char *>(buffer);
    std::memcpy(target, text.str().data(), count);
    target[count] = '\0';
    return static_cast<LRESULT>(count);
}

LRESULT FocusChanged(HWND window, bool gained)
{
    if (window->kind == WindowKind::Edit)
        NotifyParent(window, gained ? EN_SETFOCUS : EN_KILLFOCUS);
    else if (window->kind == WindowKind::ComboBox)
        NotifyParent(window, gained ? CBN_SETFOCUS : CBN_KILLFOCUS);
    return 0;
}

bool IsListIndex(const HWND__ &combo, WPARAM index)
{
    return index < combo.listItems.size();
}

// CB_SETCURSEL: an index that names no item clears the selection and the
// edit field, and answers CB_ERR.
LRESULT SelectListItem(HWND combo, WPARAM index)
{
    if (!IsListIndex(*combo, index)) {
        combo->currentItem = -1;
        combo->text.Empty();
        return CB_ERR;
    }
    combo->currentItem = static_cast<int>(index);
    combo->text = combo->listItems[index];
    return combo->currentItem;
}

LRESULT ComboBoxMessage(HWND combo, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case CB_ADDSTRING:
        combo->listItems.emplace_back(reinterpret_cast<const char *>(lParam));
        return static_cast<LRESULT>(combo->listItems.size() - 1);
    case CB_GETCOUNT:
        return static_cast<LRESULT>(combo->listItems.size());
    case CB_GETCURSEL:
        return combo->currentItem;
    case CB_SETCURSEL:
        return SelectListItem(combo, wParam);
    case CB_GETLBTEXTLEN:
        return IsListIndex(*combo, wParam) ? combo->listItems[wParam].GetLength() : CB_ERR;
    case CB_GETLBTEXT:
        return IsListIndex(*combo, wParam) ? CopyText(combo->listItems[wParam], SIZE_MAX, lParam) : CB_ERR;
    case CB_RESETCONTENT:
        combo->listItems.clear();
        combo->currentItem = -1;
        return 0;
    default:
        return 0;
    }
}

}  // namespace

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!window_table::IsOwn(window))
        return 0;
    switch (message) {
    case WM_SETTEXT:
        window->text = reinterpret_cast<const char *>(lParam);
        return TRUE;
    case WM_GETTEXT:
        return CopyText(window->text, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return window->text.GetLength();
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return FocusChanged(window, message == WM_SETFOCUS);
    default:
        return window->kind == WindowKind::ComboBox ? ComboBoxMessage(window, message, wParam, lParam) : 0;
    }
}
