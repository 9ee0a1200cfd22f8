#include "platform/wnd.h"

#include "platform/last_error.h"
#include "platform/posix/window_object.h"

#include <memory>

#include <strings.h>

namespace {

struct ClassName {
    const char *name;
    WindowKind kind;
};

constexpr ClassName CLASS_NAMES[] = {
    {"Edit", WindowKind::Edit},          {"Static", WindowKind::Static},     {"ComboBox", WindowKind::ComboBox},
    {"SysTreeView32", WindowKind::TreeView}, {"#32770", WindowKind::Dialog},
};

WindowKind KindOfClass(const char *className)
{
    for (const ClassName &entry : CLASS_NAMES)
        if (className && strcasecmp(className, entry.name) == 0)
            return entry.kind;
    return WindowKind::Generic;
}

}  // namespace

CWnd::~CWnd()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

CWnd *CWnd::FromHandle(HWND window)
{
    if (!window || !window_table::IsOwn(window))
        return nullptr;
    if (window->attached)
        return window->attached;
    if (!window->wrapper) {
        window->wrapper = std::make_unique<CWnd>();
        window->wrapper->m_hWnd = window;
    }
    return window->wrapper.get();
}

BOOL CWnd::Attach(HWND window)
{
    if (m_hWnd || !window_table::IsOwn(window) || window->attached)
        return FALSE;
    window->attached = this;
    m_hWnd = window;
    return TRUE;
}

HWND CWnd::Detach()
{
    const HWND window = m_hWnd;
    if (window_table::IsOwn(window) && window->attached == this)
        window->attached = nullptr;
    m_hWnd = nullptr;
    return window;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char *className, const char *windowName, DWORD style, const RECT &rect,
                    CWnd *parent, UINT id)
{
    if (m_hWnd)
        return FALSE;
    WindowSetup setup;
    setup.kind = KindOfClass(className);
    setup.text = windowName;
    setup.style = style;
    setup.exStyle = exStyle;
    setup.rect = rect;
    setup.parent = parent ? parent->m_hWnd : nullptr;
    setup.id = static_cast<int>(id);
    if (parent && !setup.parent) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const HWND window = CreateWindowObject(setup);
    return window && Attach(window);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}
