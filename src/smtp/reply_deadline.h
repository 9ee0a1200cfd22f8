// The bounds of reading one SMTP reply: a silence bound that restarts on
// every arrival of data, and a limit on the whole reply that does not, so
// a server that trickles a byte now and then cannot hold a delivery for
// hours. A read may also outlast the abort for a while, when the reply is
// one the server may already be acting on. Used by the session's reply
// reader, on its thread.
#pragma once

#include "platform/ticks.h"

#include <algorithm>
#include <cstdint>

struct ReplyBounds {
    DWORD silence;  // ms without data
    DWORD limit;    // ms in all, from the start of the read
    // ms the read goes on once the abort is signalled, no longer watching
    // it; 0: the abort ends the read at once.
    DWORD afterAbort = 0;
};

// A bound as the texts give it: in seconds, rounded up.
constexpr int WholeSeconds(DWORD milliseconds) { return static_cast<int>((std::uint64_t{milliseconds} + 999) / 1000); }

class CReplyDeadline {
public:
    explicit CReplyDeadline(ReplyBounds bounds)
        : m_bounds(bounds), m_silence(bounds.silence), m_limit(bounds.limit), m_afterAbort(INFINITE)
    {
    }

    void DataArrived() { m_silence = CTickBound(m_bounds.silence); }
    // The abort is signalled. True when the read goes on, for afterAbort ms
    // more at most; false when it ends now.
    bool AbortCame()
    {
        if (m_aborted || m_bounds.afterAbort == 0)
            return false;
        m_aborted = true;
        m_afterAbort = CTickBound(m_bounds.afterAbort);
        return true;
    }
    // The abort came and the read goes on without watching it.
    bool Aborted() const { return m_aborted; }
    // 0 once any bound has run out.
    DWORD Left() const { return std::min({m_silence.Left(), m_limit.Left(), m_afterAbort.Left()}); }
    // The bound that ran out, in ms; meaningful once Left() is 0.
    DWORD ExpiredBound() const { return m_limit.Expired() ? m_bounds.limit : m_bounds.silence; }

private:
    ReplyBounds m_bounds;
    CTickBound m_silence;
    CTickBound m_limit;
    CTickBound m_afterAbort;
    bool m_aborted = false;
};
