// OutcomeTracker: tells from the notifications how many of the messages a
// host sent have had their outcome. Host's thread only.
//
// A delivery starts with a status word that has SENDING, UNSENT and BUSY
// set; it succeeded when the delivered record arrives, and failed when,
// while it was under way, the word drops to UNSENT alone. The status words
// carry no language, so this works whatever table the plug-in speaks; only
// the cancel is recognised by its text, in either language, and is over
// with the status word that follows that text.
#pragma once

#include "host/text/notification.h"

#include <string>

class OutcomeTracker {
public:
    void Observe(const HostNotification &notification);

    int Sent() const { return m_sent; }
    int Failed() const { return m_failed; }
    // The cancel's "Abort by user" and the status word after it arrived.
    bool Aborted() const { return m_aborted; }
    // The text that came with the latest failed delivery, in Windows-1251.
    const std::string &LastFailureText() const { return m_lastFailureText; }
    bool Settled(int expected) const { return m_sent + m_failed >= expected; }

    // True for the plug-in's "Abort by user" text in English or Russian.
    static bool IsAbortText(const std::string &ansi);

private:
    void ObserveStatus(DWORD word);

    bool m_underWay = false;
    int m_sent = 0;
    int m_failed = 0;
    bool m_abortText = false;
    bool m_aborted = false;
    std::string m_lastText;
    std::string m_lastFailureText;
};
