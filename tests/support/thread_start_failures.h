// ScopedThreadStartFailures: while it lives, the next `count` thread starts
// of CWorkerThread are refused with `error`, as the system refuses them;
// later starts make real threads.
#pragma once

#include "platform/worker_thread.h"

#include <atomic>
#include <functional>
#include <system_error>

class ScopedThreadStartFailures {
public:
    ScopedThreadStartFailures(int count, DWORD error)
    {
        s_failuresLeft = count;
        s_error = error;
        UseThreadCalls(&REFUSING);
    }
    ~ScopedThreadStartFailures() { UseThreadCalls(nullptr); }
    ScopedThreadStartFailures(const ScopedThreadStartFailures &) = delete;
    ScopedThreadStartFailures &operator=(const ScopedThreadStartFailures &) = delete;

private:
    static SystemThread Spawn(std::function<void()> body)
    {
        if (s_failuresLeft.fetch_sub(1) > 0)
            throw std::system_error(static_cast<int>(s_error.load()), std::generic_category());
        return SystemThreadCalls().spawn(std::move(body));
    }

    static inline std::atomic<int> s_failuresLeft{0};
    static inline std::atomic<DWORD> s_error{0};
    static constexpr ThreadCalls REFUSING{Spawn};
};
