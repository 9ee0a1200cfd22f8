#include "platform/ddx.h"

#include "platform/wnd.h"

HWND CDataExchange::PrepareCtrl(int id) const { return m_pDlgWnd ? ::GetDlgItem(m_pDlgWnd->m_hWnd, id) : nullptr; }

void DDX_Text(CDataExchange *dx, int id, CString &value)
{
    const HWND control = dx->PrepareCtrl(id);
    if (!control)
        return;
    if (dx->m_bSaveAndValidate)
        value = GetWindowString(control);
    else
        SetWindowTextA(control, value);
}

void DDX_Control(CDataExchange *dx, int id, CWnd &control)
{
    if (control.m_hWnd)
        return;
    const HWND window = dx->PrepareCtrl(id);
    if (window)
        control.Attach(window);
}
