#include "workers/worker_slot.h"

#include "workers/control_events.h"

#include <mutex>

namespace {

// No exception may leave a thread procedure.
CWorkerThread::Procedure Guarded(CWorkerSlot::Procedure procedure)
{
    return [procedure]() -> DWORD {
        try {
            return procedure();
        } catch (...) {
            return 0;
        }
    };
}

}  // namespace

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
    m_thread = CWorkerThread::Start(Guarded(procedure), CWorkerThread::Priority::BelowNormal);
    return m_thread != nullptr;
}

bool CWorkerSlot::EndUnlessWoken()
{
    std::lock_guard<CMutex> lock(m_mutex);
    if (m_woken) {
        m_woken = false;
        return false;
    }
    m_ending = true;
    return true;
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
    if (ended)
        ReleaseIfHolding(thread);
    return ended;
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
    if (request)
        request();
    return m_thread;
}

void CWorkerSlot::ReleaseIfHolding(const Thread &thread)
{
    std::lock_guard<CMutex> lock(m_mutex);
    if (m_thread == thread)
        m_thread.reset();
}
