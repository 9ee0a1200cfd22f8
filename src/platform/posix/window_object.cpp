#include "platform/posix/window_object.h"

#include "platform/last_error.h"

#include <algorithm>

namespace {

LRESULT DispatchToObject(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd *object = window->attached;
    return object ? object->WindowProc(message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

void Unlink(HWND window) noexcept
{
    if (!window->parent)
        return;
    auto &siblings = window->parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
}

}  // namespace

HWND CreateWindowObject(const WindowSetup &setup)
{
    if (setup.parent ? !window_table::IsOwn(setup.parent) : (setup.style & WS_CHILD) != 0) {
        SetLastError(setup.parent ? ERROR_INVALID_WINDOW_HANDLE : ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    auto window = std::make_unique<HWND__>();
    window->owner = std::this_thread::get_id();
    window->procedure = DispatchToObject;
    window->kind = setup.kind;
    window->parent = setup.parent;
    window->id = setup.id;
    window->text = setup.text;
    window->style = setup.style;
    window->exStyle = setup.exStyle;
    window->rect = setup.rect;
    if (setup.parent)
        setup.parent->children.reserve(setup.parent->children.size() + 1);
    HWND handle = window_table::Add(std::move(window));
    if (setup.parent)
        setup.parent->children.push_back(handle);
    return handle;
}

BOOL DestroyWindow(HWND window) noexcept
{
    if (!window_table::IsOwn(window))
        return FALSE;
    ForgetFocus(window);
    while (!window->children.empty())
        DestroyWindow(window->children.back());
    Unlink(window);
    if (window->attached)
        window->attached->m_hWnd = nullptr;
    const std::unique_ptr<HWND__> owned = window_table::Remove(window);
    if (owned && owned->wrapper)
        owned->wrapper->m_hWnd = nullptr;
    return TRUE;
}
