// The bounds of reading one SMTP reply: a silence bound that restarts on
// every arrival of data, and a limit on the whole reply that does not, so
// a server that trickles a byte now and then cannot hold a delivery for
// hours. Used by the session's reply reader, on its thread.
#pragma once

#include "platform/ticks.h"

#include <algorithm>
#include <cstdint>

struct ReplyBounds {
    DWORD silence;  // ms without data
    DWORD limit;    // ms in all, from the start of the read
};

// A bound as the texts give it: in seconds, rounded up.
constexpr int WholeSeconds(DWORD milliseconds) { return static_cast<int>((std::uint64_t{milliseconds} + 999) / 1000); }

class CReplyDeadline {
public:
    explicit CReplyDeadline(ReplyBounds bounds) : m_bounds(bounds), m_silence(bounds.silence), m_limit(bounds.limit) {}

    void DataArrived() { m_silence = CTickBound(m_bounds.silence); }
    // 0 once either bound has run out.
    DWORD Left() const { return std::min(m_silence.Left(), m_limit.Left()); }
    // The bound that ran out, in ms; meaningful once Left() is 0.
    DWORD ExpiredBound() const { return m_limit.Expired() ? m_bounds.limit : m_bounds.silence; }

private:
    ReplyBounds m_bounds;
    CTickBound m_silence;
    CTickBound m_limit;
};
