// CWorkerSlot: the thread last started for one worker kind (the sender, the
// checker or the canceller). The dispatcher starts workers through it; the
// canceller and OnClose stop the sender through it, OnClose the others too.
// Every member may be called from any thread.
#pragma once

#include "platform/mutex.h"
#include "platform/worker_thread.h"

#include <functional>
#include <memory>

class CWorkerSlot {
public:
    using Procedure = DWORD (*)();
    enum class WaitMode { Plain, Pumping };

    // Starts `procedure` at below-normal priority unless the slot's thread
    // is still running (the wake-up is then absorbed). `prepare` runs first,
    // under the slot's lock, only when a thread is about to start. False
    // only when the start failed; the last error is then set and the slot
    // is empty.
    bool StartUnlessRunning(Procedure procedure, const std::function<void()> &prepare = {});

    // For the slot's own thread when it has run out of work. False when a
    // wake-up was absorbed since it started or last asked: it should look
    // for work again. True when it may end: from then on a start does not
    // count it as running, but waits for its end and starts a new thread.
    bool EndUnlessWoken();

    // Stops the slot's thread: when it runs, `request` runs under the slot's
    // lock, then the call waits up to `timeout` ms for the end (running the
    // calling thread's host messages meanwhile with Pumping). True when no
    // thread runs any more; the slot is then empty. A thread still running
    // after the wait stays in the slot, so no second one starts while it
    // lives.
    bool Stop(DWORD timeout, WaitMode mode, const std::function<void()> &request = {});

    bool IsRunning() const;

private:
    using Thread = std::shared_ptr<CWorkerThread>;

    Thread RunningThread(const std::function<void()> &request);
    void ReleaseIfHolding(const Thread &thread);

    // Waits for a thread that has promised to end. Caller holds m_mutex.
    bool AwaitEnding();

    mutable CMutex m_mutex;
    Thread m_thread;        // guarded by m_mutex
    bool m_woken = false;   // guarded by m_mutex
    bool m_ending = false;  // guarded by m_mutex
};

extern CWorkerSlot g_hSenderThread;
extern CWorkerSlot g_hCheckerThread;
extern CWorkerSlot g_hCancellerThread;
