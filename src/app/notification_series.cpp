#include "app/notification_series.h"

#include <span>
#include <stdexcept>
#include <utility>

CNotificationSeries &CNotificationSeries::Add(MessageParameters notification)
{
    if (m_length == CAPACITY)
        throw std::length_error("a notification series holds three notifications");
    m_series[m_length++] = std::move(notification);
    return *this;
}

CNotificationSeries &CNotificationSeries::Text(CString text)
{
    if (m_length == CAPACITY)
        throw std::length_error("a notification series holds three notifications");
    CString &kept = m_texts[m_length];
    kept = std::move(text);
    return Add({TN_TEXT, reinterpret_cast<LPARAM>(kept.GetString())});
}

CNotificationSeries &CNotificationSeries::Status(DWORD clearMask, DWORD setMask)
{
    CTransportApp &app = m_app;
    return Add({TN_STATUS, 0, [&app, clearMask, setMask] {
                    return static_cast<LPARAM>(app.UpdateStatus(clearMask, setMask));
                }});
}

CNotificationSeries &CNotificationSeries::Sent(CMessageRecord *record)
{
    return Add({TN_SENT, reinterpret_cast<LPARAM>(record)});
}

void CNotificationSeries::Send()
{
    m_app.NotifySeries(std::span(m_series.data(), m_length));
    m_length = 0;
}
