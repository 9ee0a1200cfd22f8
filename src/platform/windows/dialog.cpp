#include "platform/dialog.h"

#include "platform/resources.h"

namespace {

// The object is bound before WM_INITDIALOG reaches it, so that the data
// exchange of OnInitDialog finds the window. Only the initialisation, the
// controls' notifications and the end reach the object; the system's dialog
// procedure does the rest.
INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *dialog = reinterpret_cast<CDialog *>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        dialog->Attach(window);
        return dialog->WindowProc(message, wParam, lParam);
    }
    auto *dialog = reinterpret_cast<CDialog *>(GetWindowLongPtrA(window, DWLP_USER));
    if (dialog && message == WM_COMMAND)
        dialog->WindowProc(message, wParam, lParam);
    if (dialog && message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        dialog->Detach();
    }
    return FALSE;
}

const DLGTEMPLATE *LoadDialogTemplate(HINSTANCE module, UINT id)
{
    const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), RT_DIALOG);
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    return static_cast<const DLGTEMPLATE *>(loaded ? LockResource(loaded) : nullptr);
}

}  // namespace

BOOL CDialog::Create(UINT templateId, CWnd *parent)
{
    const HINSTANCE module = AfxGetResourceHandle() ? AfxGetResourceHandle() : GetModuleHandleA(nullptr);
    const DLGTEMPLATE *dialog = LoadDialogTemplate(module, templateId);
    if (!dialog || m_hWnd)
        return FALSE;
    m_nIDTemplate = templateId;
    m_pParentWnd = parent;
    const HWND window = CreateDialogIndirectParamA(module, dialog, parent ? parent->m_hWnd : nullptr, DialogProcedure,
                                                   reinterpret_cast<LPARAM>(this));
    if (window && m_hWnd != window)
        ::DestroyWindow(window);
    return window && m_hWnd == window;
}
