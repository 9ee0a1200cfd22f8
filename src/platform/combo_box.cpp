#include "platform/combo_box.h"

#include "platform/host_window.h"

#include <string>

int CComboBox::Message(UINT message, WPARAM wParam, LPARAM lParam) const
{
    if (!IsWindow(m_hWnd))
        return static_cast<int>(CB_ERR);
    return static_cast<int>(SendMessage(message, wParam, lParam));
}

void CComboBox::GetLBText(int index, CString &text) const
{
    const int length = Message(CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) {
        text.Empty();
        return;
    }
    std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
    buffer.resize(static_cast<std::size_t>(Message(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()))));
    text = CString(std::move(buffer));
}
