// CWorkerSlot: the thread last started for one worker kind (the sender, the
// checker or the canceller). The dispatcher starts workers through it; the
// canceller and OnClose stop the sender through it, OnClose the others too.
// Every member may be called from any thread.
//
// A wake-up that comes while the slot's thread runs is absorbed. The sender
// slot must lose none: its thread asks for them when it runs out of work
// (TakeWakeUp), and one absorbed after that, or on a thread that ends for
// any other reason (a stop, an exception), is set again on the wake event
// when the thread ends, so the dispatcher starts a new one for it. A stop
// drops the wake-ups absorbed before it: the work they announced goes with
// the stop.
#pragma once

#include "platform/mutex.h"
#include "platform/worker_thread.h"

#include <functional>
#include <memory>

class CEvent;

class CWorkerSlot {
public:
    using Procedure = DWORD (*)();
    enum class WaitMode { Plain, Pumping };

    // `wakeEvent`: the event whose wake-ups this slot must not lose; null
    // when an absorbed wake-up may be dropped.
    explicit CWorkerSlot(CEvent *wakeEvent = nullptr) : m_wakeEvent(wakeEvent) {}
    CWorkerSlot(const CWorkerSlot &) = delete;
    CWorkerSlot &operator=(const CWorkerSlot &) = delete;

    // Starts `procedure` at below-normal priority unless the slot's thread
    // is still running (the wake-up is then absorbed). `prepare` runs first,
    // under the slot's lock, only when a thread is about to start. False
    // only when the start failed; the last error is then set and the slot
    // is empty.
    bool StartUnlessRunning(Procedure procedure, const std::function<void()> &prepare = {});

    // Absorbs a wake-up into the slot's running thread, as a start would,
    // without a trip through the dispatcher. False when no thread runs or
    // it is ending: the wake-up must then start one.
    bool AbsorbWakeUp();

    // For the slot's own thread when it has run out of work: true when a
    // wake-up was absorbed since it started or last asked, so it should
    // look for work again.
    bool TakeWakeUp();

    // Stops the slot's thread: when it runs, the wake-ups it absorbed are
    // dropped and `request` runs under the slot's lock, then the call waits up to `timeout` ms for the end (running the
    // calling thread's host messages meanwhile with Pumping). True when that
    // thread has ended; the slot then no longer holds it, but keeps a
    // successor started meanwhile. A thread still running after the wait
    // stays in the slot, so no second one starts while it lives, and counts
    // as abandoned.
    bool Stop(DWORD timeout, WaitMode mode, const std::function<void()> &request = {});

    // True when a Stop gave up waiting for the slot's running thread: that
    // thread must not report to the host any more.
    bool IsAbandoned() const;
    bool IsRunning() const;

private:
    using Thread = std::shared_ptr<CWorkerThread>;

    CWorkerThread::Procedure Wrapped(Procedure procedure);
    // The last act of every thread of the slot, after its procedure.
    void Finish() noexcept;
    Thread RunningThread(const std::function<void()> &request);
    void Settle(const Thread &thread, bool ended);

    // Waits for a thread that has finished its procedure. Caller holds
    // m_mutex.
    bool AwaitEnding();

    CEvent *const m_wakeEvent;
    mutable CMutex m_mutex;
    Thread m_thread;          // guarded by m_mutex
    bool m_woken = false;     // guarded by m_mutex
    bool m_ending = false;    // guarded by m_mutex
    bool m_abandoned = false; // guarded by m_mutex
};

extern CWorkerSlot g_hSenderThread;
extern CWorkerSlot g_hCheckerThread;
extern CWorkerSlot g_hCancellerThread;
