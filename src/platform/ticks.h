// Millisecond tick counter, sleep (the system's own on Windows) and bounds
// on it. The counter is 32 bits
// wide and wraps after about 49.7 days: compare ticks only by unsigned
// difference, as the functions below do.
#pragma once

#include "platform/win_types.h"

#if !defined(_WIN32)
DWORD GetTickCount();
void Sleep(DWORD milliseconds);
#endif

// The tick counter as a plain function, for code that takes its clock as a
// parameter (the system's GetTickCount has the system's calling convention).
inline DWORD TickCount() { return GetTickCount(); }

// What is left at `now` of a bound of `bound` ms that began at `start`: 0
// once it has run out, INFINITE for an INFINITE bound.
constexpr DWORD TicksLeft(DWORD start, DWORD bound, DWORD now)
{
    if (bound == INFINITE)
        return INFINITE;
    const DWORD spent = now - start;
    return spent >= bound ? 0 : bound - spent;
}

// A bound that starts when it is made: every wait of one operation asks it
// what is left, so EINTR, spurious wake-ups and steps never extend it.
class CTickBound {
public:
    explicit CTickBound(DWORD bound, DWORD start = GetTickCount()) : m_start(start), m_bound(bound) {}

    DWORD Left(DWORD now = GetTickCount()) const { return TicksLeft(m_start, m_bound, now); }
    bool Expired(DWORD now = GetTickCount()) const { return Left(now) == 0; }

private:
    DWORD m_start;
    DWORD m_bound;
};
