#include "app/notification_series.h"

#include <span>
#include <stdexcept>

CNotificationSeries &CNotificationSeries::Add(WPARAM kind, LPARAM payload)
{
    if (m_length == CAPACITY)
        throw std::length_error("a notification series holds three notifications");
    m_series[m_length++] = MessageParameters{kind, payload};
    return *this;
}

CNotificationSeries &CNotificationSeries::Text(CString text)
{
    Add(TN_TEXT, 0);
    CString &kept = m_texts[m_textCount++];
    kept = std::move(text);
    m_series[m_length - 1].lParam = reinterpret_cast<LPARAM>(kept.GetString());
    return *this;
}

CNotificationSeries &CNotificationSeries::Status(DWORD clearMask, DWORD setMask)
{
    return Add(TN_STATUS, static_cast<LPARAM>(m_app.UpdateStatus(clearMask, setMask)));
}

CNotificationSeries &CNotificationSeries::Sent(CMessageRecord *record)
{
    return Add(TN_SENT, reinterpret_cast<LPARAM>(record));
}

void CNotificationSeries::Send()
{
    const HWND window = m_app.m_hwndHost.load();
    if (window)
        SendMessageSeries(window, m_app.m_nHostMessage.load(), std::span(m_series.data(), m_length));
    m_length = 0;
}
