#include "host/session/outcome_tracker.h"

#include "host/text/text_codec.h"
#include "morvtransport/morvtransport.h"

namespace {

constexpr DWORD DELIVERY_STARTED = MORV_TS_SENDING | MORV_TS_UNSENT | MORV_TS_BUSY;

}  // namespace

void OutcomeTracker::Observe(const HostNotification &notification)
{
    switch (notification.kind) {
    case MORV_TN_TEXT:
        m_lastText = notification.text;
        if (IsAbortText(notification.text))
            m_abortText = true;
        break;
    case MORV_TN_STATUS:
        ObserveStatus(notification.status);
        break;
    case MORV_TN_SENT:
        ++m_sent;
        m_underWay = false;
        break;
    default:
        break;
    }
}

void OutcomeTracker::ObserveStatus(DWORD word)
{
    m_aborted = m_aborted || m_abortText;
    if ((word & DELIVERY_STARTED) == DELIVERY_STARTED) {
        m_underWay = true;
    } else if (m_underWay && word == MORV_TS_UNSENT) {
        ++m_failed;
        m_lastFailureText = m_lastText;
        m_underWay = false;
    }
}

// The texts are compared in Windows-1251: converting every text that comes
// would open a converter for each notification.
bool OutcomeTracker::IsAbortText(const std::string &ansi)
{
    static const std::string russian = Utf8ToAnsi("Прервано пользователем");
    return ansi == "Abort by user" || ansi == russian;
}
