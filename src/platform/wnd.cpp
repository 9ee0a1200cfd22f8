#include "platform/wnd.h"

#include "platform/ddx.h"
#include "platform/host_window.h"

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

CWnd *CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

CWnd *CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }

int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

void CWnd::SetWindowText(const char *text) { ::SetWindowTextA(m_hWnd, text); }

void CWnd::GetWindowText(CString &text) const { text = GetWindowString(m_hWnd); }

BOOL CWnd::ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }

BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }

CWnd *CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }

CWnd *CWnd::GetFocus() { return FromHandle(::GetFocus()); }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return m_hWnd ? ::SendMessageA(m_hWnd, message, wParam, lParam) : 0;
}

BOOL CWnd::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && OnCommand(wParam, lParam))
        return 0;
    return DefWindowProc(message, wParam, lParam);
}

void CWnd::DoDataExchange(CDataExchange *) {}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM)
{
    for (const MessageMap *map = GetMessageMap(); map; map = map->base) {
        for (const MessageMapEntry &entry : map->entries) {
            if (entry.code == HIWORD(wParam) && static_cast<WORD>(entry.id) == LOWORD(wParam)) {
                (this->*entry.handler)();
                return TRUE;
            }
        }
    }
    return FALSE;
}

const MessageMap CWnd::s_messageMap{nullptr, {}};

const MessageMap *CWnd::GetMessageMap() const { return &s_messageMap; }
