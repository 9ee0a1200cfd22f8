#include "platform/wnd.h"

#include <map>
#include <memory>

namespace {

// The window property that names the CWnd bound to a window.
constexpr const char *BOUND_OBJECT = "MorvCWnd";

bool IsOwn(HWND window) { return IsWindow(window) && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId(); }

CWnd *BoundTo(HWND window) { return static_cast<CWnd *>(GetPropA(window, BOUND_OBJECT)); }

// Objects that FromHandle made for windows that have none bound, per thread
// as the windows are. A handle is only ever wrapped, never destroyed, by them.
thread_local std::map<HWND, std::unique_ptr<CWnd>> t_wrappers;

}  // namespace

// A window destroyed before its object leaves the object with a handle that
// is no longer its own: only a window still bound to it is destroyed.
CWnd::~CWnd()
{
    if (m_hWnd && IsWindow(m_hWnd) && BoundTo(m_hWnd) == this) {
        RemovePropA(m_hWnd, BOUND_OBJECT);
        ::DestroyWindow(m_hWnd);
    }
}

CWnd *CWnd::FromHandle(HWND window)
{
    if (!window || !IsOwn(window))
        return nullptr;
    if (CWnd *bound = BoundTo(window))
        return bound;
    std::unique_ptr<CWnd> &wrapper = t_wrappers[window];
    if (!wrapper) {
        wrapper = std::make_unique<CWnd>();
        wrapper->m_hWnd = window;
    }
    return wrapper.get();
}

BOOL CWnd::Attach(HWND window)
{
    if (m_hWnd || !IsOwn(window) || BoundTo(window) || !SetPropA(window, BOUND_OBJECT, this))
        return FALSE;
    t_wrappers.erase(window);
    m_hWnd = window;
    return TRUE;
}

HWND CWnd::Detach()
{
    const HWND window = m_hWnd;
    if (window && IsWindow(window) && BoundTo(window) == this)
        RemovePropA(window, BOUND_OBJECT);
    m_hWnd = nullptr;
    return window;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char *className, const char *windowName, DWORD style, const RECT &rect,
                    CWnd *parent, UINT id)
{
    if (m_hWnd)
        return FALSE;
    const HWND parentWindow = parent ? parent->m_hWnd : nullptr;
    if (parent && !parentWindow) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const auto menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    const HWND window = CreateWindowExA(exStyle, className, windowName, style, rect.left, rect.top,
                                        rect.right - rect.left, rect.bottom - rect.top, parentWindow, menu,
                                        GetModuleHandleA(nullptr), nullptr);
    if (window && Attach(window))
        return TRUE;
    if (window)
        ::DestroyWindow(window);
    return FALSE;
}

// The system's own handling; a dialog's is the system's dialog procedure,
// which runs once this object's procedure has answered "not handled".
LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (GetWindowKind(m_hWnd) == WindowKind::Dialog)
        return 0;
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}
