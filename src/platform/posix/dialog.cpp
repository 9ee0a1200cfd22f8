#include "platform/dialog.h"

#include "platform/dialog_template.h"
#include "platform/posix/window_object.h"

namespace {

RECT RectOf(short x, short y, short cx, short cy) { return RECT{x, y, x + cx, y + cy}; }

bool IsTabStop(HWND window)
{
    const DWORD style = GetWindowStyle(window);
    return (style & WS_TABSTOP) && (style & WS_VISIBLE);
}

}  // namespace

BOOL CDialog::Create(UINT templateId, CWnd *parent)
{
    const DialogTemplate *dialog = FindDialogTemplate(AfxGetResourceHandle(), templateId);
    if (!dialog || m_hWnd)
        return FALSE;
    m_nIDTemplate = templateId;
    m_pParentWnd = parent;
    return CreateFrom(*dialog, parent ? parent->m_hWnd : nullptr);
}

BOOL CDialog::CreateFrom(const DialogTemplate &dialog, HWND parent)
{
    WindowSetup setup;
    setup.kind = WindowKind::Dialog;
    setup.text = dialog.caption;
    setup.style = dialog.style & ~WS_VISIBLE;
    setup.exStyle = dialog.exStyle;
    setup.rect = RectOf(dialog.x, dialog.y, dialog.cx, dialog.cy);
    setup.parent = parent;
    const HWND window = CreateWindowObject(setup);
    if (!window || !Attach(window) || !CreateItems(dialog)) {
        ::DestroyWindow(window);
        return FALSE;
    }
    if (SendMessage(WM_INITDIALOG) && m_hWnd)
        SetDefaultFocus(dialog);
    if (m_hWnd && (dialog.style & WS_VISIBLE))
        ShowWindow(SW_SHOW);
    return m_hWnd != nullptr;
}

BOOL CDialog::CreateItems(const DialogTemplate &dialog)
{
    for (const DialogItemTemplate &item : dialog.items) {
        WindowSetup setup;
        setup.kind = item.kind;
        setup.text = item.text;
        setup.style = item.style | WS_CHILD;
        setup.exStyle = item.exStyle;
        setup.rect = RectOf(item.x, item.y, item.cx, item.cy);
        setup.parent = m_hWnd;
        setup.id = item.id;
        if (!CreateWindowObject(setup))
            return FALSE;
    }
    return TRUE;
}

// A child dialog that is created hidden leaves the focus where it is.
void CDialog::SetDefaultFocus(const DialogTemplate &dialog)
{
    if ((dialog.style & DS_CONTROL) && !(dialog.style & WS_VISIBLE))
        return;
    for (const HWND child : GetChildWindows(m_hWnd)) {
        if (IsTabStop(child)) {
            ::SetFocus(child);
            return;
        }
    }
}
