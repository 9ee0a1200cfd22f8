#include "platform/user_interface.h"

#include "platform/posix/window_object.h"

#include <algorithm>
#include <cstring>

namespace {

thread_local HWND t_focus = nullptr;

// The window when the calling thread may touch it, else null.
HWND__ *Own(HWND window) { return window_table::IsOwn(window) ? window : nullptr; }

}  // namespace

HWND GetParent(HWND window)
{
    const HWND__ *own = Own(window);
    return own ? own->parent : nullptr;
}

HWND GetDlgItem(HWND dialog, int id)
{
    const HWND__ *own = Own(dialog);
    if (!own)
        return nullptr;
    const auto found = std::find_if(own->children.begin(), own->children.end(),
                                    [id](HWND child) { return child->id == id; });
    return found == own->children.end() ? nullptr : *found;
}

int GetDlgCtrlID(HWND window)
{
    const HWND__ *own = Own(window);
    return own ? own->id : 0;
}

std::vector<HWND> GetChildWindows(HWND window)
{
    const HWND__ *own = Own(window);
    return own ? own->children : std::vector<HWND>();
}

WindowKind GetWindowKind(HWND window)
{
    const HWND__ *own = Own(window);
    return own ? own->kind : WindowKind::Generic;
}

DWORD GetWindowStyle(HWND window)
{
    const HWND__ *own = Own(window);
    return own ? own->style : 0;
}

DWORD GetWindowExStyle(HWND window)
{
    const HWND__ *own = Own(window);
    return own ? own->exStyle : 0;
}

RECT GetWindowRect(HWND window)
{
    const HWND__ *own = Own(window);
    return own ? own->rect : RECT{};
}

BOOL SetWindowTextA(HWND window, const char *text)
{
    return Own(window) ? static_cast<BOOL>(SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text))) : FALSE;
}

int GetWindowTextA(HWND window, char *buffer, int size)
{
    if (!Own(window) || !buffer || size <= 0)
        return 0;
    return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

CString GetWindowString(HWND window)
{
    if (!Own(window))
        return CString();
    const auto length = static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), length + 1)));
    return CString(std::move(text));
}

BOOL ShowWindow(HWND window, int command)
{
    HWND__ *own = Own(window);
    if (!own)
        return FALSE;
    const BOOL wasVisible = (own->style & WS_VISIBLE) != 0;
    own->style = command == SW_HIDE ? own->style & ~WS_VISIBLE : own->style | WS_VISIBLE;
    return wasVisible;
}

BOOL IsWindowVisible(HWND window)
{
    for (const HWND__ *own = Own(window); own; own = own->parent)
        if (!(own->style & WS_VISIBLE))
            return FALSE;
    return Own(window) ? TRUE : FALSE;
}

HWND SetFocus(HWND window)
{
    if (window && !Own(window))
        return nullptr;
    const HWND previous = t_focus;
    if (previous == window)
        return previous;
    t_focus = window;
    if (Own(previous))
        SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (window && t_focus == window && Own(window))
        SendMessageA(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND GetFocus() { return t_focus; }

void ForgetFocus(HWND window) noexcept
{
    if (t_focus == window)
        t_focus = nullptr;
}
