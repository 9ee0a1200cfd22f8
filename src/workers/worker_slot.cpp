#include "workers/worker_slot.h"

#include "platform/event.h"
#include "workers/control_events.h"

#include <mutex>
#include <utility>

CWorkerThread::Procedure CWorkerSlot::Wrapped(Procedure procedure)
{
    return [this, procedure]() -> DWORD {
        DWORD exitCode = 0;
        // No exception may leave a thread procedure.
        try {
            exitCode = procedure();
        } catch (...) {
        }
        Finish();
        return exitCode;
    };
}

void CWorkerSlot::Finish() noexcept
{
    bool handBack = false;
    {
        std::lock_guard<CMutex> lock(m_mutex);
        // From here on a start waits for this thread's end instead of
        // absorbing the wake-up.
        m_ending = true;
        handBack = std::exchange(m_woken, false);
    }
    if (handBack && m_wakeEvent)
        m_wakeEvent->SetEvent();
}

bool CWorkerSlot::StartUnlessRunning(Procedure procedure, const std::function<void()> &prepare)
{
    std::lock_guard<CMutex> lock(m_mutex);
    if (m_thread && m_thread->IsRunning() && !AwaitEnding()) {
        m_woken = true;
        return true;
    }
    if (prepare)
        prepare();
    // The finished thread is joined before its successor starts.
    m_thread.reset();
    m_woken = false;
    m_ending = false;
    m_abandoned = false;
    m_thread = CWorkerThread::Start(Wrapped(procedure), CWorkerThread::Priority::BelowNormal);
    return m_thread != nullptr;
}

bool CWorkerSlot::AbsorbWakeUp()
{
    std::lock_guard<CMutex> lock(m_mutex);
    if (!m_thread || m_ending || !m_thread->IsRunning())
        return false;
    m_woken = true;
    return true;
}

bool CWorkerSlot::TakeWakeUp()
{
    std::lock_guard<CMutex> lock(m_mutex);
    return std::exchange(m_woken, false);
}

bool CWorkerSlot::AwaitEnding()
{
    // It has only to return, so the bound is never reached in practice.
    return m_ending && m_thread->Wait(g_dwWorkerStopTimeout.load());
}

bool CWorkerSlot::Stop(DWORD timeout, WaitMode mode, const std::function<void()> &request)
{
    const Thread thread = RunningThread(request);
    if (!thread)
        return true;
    const bool ended = mode == WaitMode::Pumping ? thread->WaitPumping(timeout) : thread->Wait(timeout);
    Settle(thread, ended);
    return ended;
}

bool CWorkerSlot::IsAbandoned() const
{
    std::lock_guard<CMutex> lock(m_mutex);
    return m_abandoned;
}

bool CWorkerSlot::IsRunning() const
{
    std::lock_guard<CMutex> lock(m_mutex);
    return m_thread && m_thread->IsRunning();
}

CWorkerSlot::Thread CWorkerSlot::RunningThread(const std::function<void()> &request)
{
    std::lock_guard<CMutex> lock(m_mutex);
    if (!m_thread || !m_thread->IsRunning()) {
        m_thread.reset();
        return nullptr;
    }
    // Wake-ups absorbed so far announced work that goes with the stop (a
    // cancel discards the queue); only later ones are handed back.
    m_woken = false;
    if (request)
        request();
    return m_thread;
}

void CWorkerSlot::Settle(const Thread &thread, bool ended)
{
    std::lock_guard<CMutex> lock(m_mutex);
    // A successor started after the end of `thread` is not this stop's.
    if (m_thread != thread)
        return;
    if (ended)
        m_thread.reset();
    else
        m_abandoned = true;
}
