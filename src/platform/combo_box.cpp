#include "platform/combo_box.h"

#include "platform/host_window.h"

int CComboBox::Message(UINT message, WPARAM wParam, LPARAM lParam) const
{
    if (!IsWindow(m_hWnd))
        return static_cast<int>(CB_ERR);
    return static_cast<int>(SendMessage(message, wParam, lParam));
}
