#include "platform/worker_thread.h"

#include "platform/last_error.h"
#include "platform/worker_thread_hooks.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>

struct CWorkerThread::State {
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;          // guarded by mutex
    DWORD exitCode = STILL_ACTIVE;  // guarded by mutex
};

namespace {

std::atomic<const ThreadCalls *> g_threadCalls{&SystemThreadCalls()};

}  // namespace

void UseThreadCalls(const ThreadCalls *calls) { g_threadCalls.store(calls ? calls : &SystemThreadCalls()); }

std::unique_ptr<CWorkerThread> CWorkerThread::Start(Procedure procedure, Priority priority)
{
    auto worker = std::make_unique<CWorkerThread>(PrivateTag{});
    worker->m_state = std::make_shared<State>();
    auto body = [state = worker->m_state, procedure = std::move(procedure), priority] {
        if (priority == Priority::BelowNormal)
            LowerPriorityOfCallingThread();
        const DWORD exitCode = procedure();
        {
            std::lock_guard lock(state->mutex);
            state->exitCode = exitCode;
            state->finished = true;
        }
        state->ended.notify_all();
        AfterThreadEnd();
    };
    try {
        worker->m_thread = g_threadCalls.load()->spawn(std::move(body));
    } catch (const std::system_error &error) {
        SetLastError(static_cast<DWORD>(error.code().value()));
        return nullptr;
    }
    return worker;
}

CWorkerThread::~CWorkerThread()
{
    if (!m_thread.joinable())
        return;
    if (IsRunning() || IsCurrentThread())
        m_thread.detach();
    else
        m_thread.join();
}

bool CWorkerThread::IsRunning() const
{
    std::lock_guard lock(m_state->mutex);
    return !m_state->finished;
}

DWORD CWorkerThread::GetExitCode() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->exitCode;
}

bool CWorkerThread::Wait(DWORD timeout)
{
    std::unique_lock lock(m_state->mutex);
    const auto ended = [&] { return m_state->finished; };
    if (timeout == INFINITE) {
        m_state->ended.wait(lock, ended);
        return true;
    }
    return m_state->ended.wait_for(lock, std::chrono::milliseconds(timeout), ended);
}
