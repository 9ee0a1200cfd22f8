// CNotificationSeries: notifications that follow one another with nothing
// done between them, handed to the host window as one series
// (SendMessageSeries): the host sees exactly what it would see if each were
// sent alone after the one before returned, and Send returns when it has
// run the last. Two thread switches for the series instead of two for each
// notification. The texts are kept in the series until then. Holds at
// most three notifications.
#pragma once

#include "app/transport_app.h"
#include "platform/host_window.h"

#include <array>
#include <cstddef>

class CNotificationSeries {
public:
    explicit CNotificationSeries(CTransportApp &app) : m_app(app) {}
    CNotificationSeries(const CNotificationSeries &) = delete;
    CNotificationSeries &operator=(const CNotificationSeries &) = delete;

    CNotificationSeries &Text(CString text);
    // The status word changes as NotifyStatus changes it, at the moment
    // this notification is handed over (during Send).
    CNotificationSeries &Status(DWORD clearMask, DWORD setMask);
    CNotificationSeries &Sent(CMessageRecord *record);
    void Send();

private:
    static constexpr std::size_t CAPACITY = 3;

    CNotificationSeries &Add(MessageParameters notification);

    CTransportApp &m_app;
    std::array<CString, CAPACITY> m_texts;  // a text beside its notification: the series points into it
    std::array<MessageParameters, CAPACITY> m_series{};
    std::size_t m_length = 0;
};
