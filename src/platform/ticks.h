// Millisecond tick counter and sleep. The counter is 32 bits wide and wraps
// after about 49.7 days: compare ticks only by unsigned difference.
#pragma once

#include "platform/win_types.h"

DWORD GetTickCount();
void Sleep(DWORD milliseconds);

// True when more than `limit` ms lie between `mark` and `now`; correct
// across the wrap of the counter.
constexpr bool TicksElapsedBeyond(DWORD mark, DWORD now, DWORD limit)
{
    return static_cast<DWORD>(now - mark) > limit;
}
