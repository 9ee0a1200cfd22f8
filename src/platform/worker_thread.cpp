#include "platform/worker_thread.h"

#include "platform/last_error.h"
#include "platform/host_window.h"
#include "platform/message_queue.h"

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <system_error>

struct CWorkerThread::State {
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;  // guarded by mutex
    DWORD exitCode = STILL_ACTIVE;  // guarded by mutex
};

namespace {

std::thread SpawnSystemThread(std::function<void()> body) { return std::thread(std::move(body)); }

constexpr ThreadCalls SYSTEM_THREAD_CALLS{SpawnSystemThread};

std::atomic<const ThreadCalls *> g_threadCalls{&SYSTEM_THREAD_CALLS};

void LowerPriorityOfCallingThread()
{
    const id_t thread = static_cast<id_t>(gettid());
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, thread);
    if (errno == 0)
        setpriority(PRIO_PROCESS, thread, nice + 1);
}

}  // namespace

const ThreadCalls &SystemThreadCalls() { return SYSTEM_THREAD_CALLS; }

void UseThreadCalls(const ThreadCalls *calls) { g_threadCalls.store(calls ? calls : &SYSTEM_THREAD_CALLS); }

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
        message_queue::NotifyChange();
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

bool CWorkerThread::IsCurrentThread() const { return m_thread.get_id() == std::this_thread::get_id(); }

bool CWorkerThread::Wait(DWORD timeout)
{
    std::unique_lock lock(m_state->mutex);
    return m_state->ended.wait_until(lock, message_queue::DeadlineAfter(timeout), [&] { return m_state->finished; });
}

bool CWorkerThread::WaitPumping(DWORD timeout)
{
    const auto deadline = message_queue::DeadlineAfter(timeout);
    for (;;) {
        const auto seen = message_queue::Generation();
        PumpMessages();
        if (!IsRunning())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        message_queue::WaitForChange(seen, deadline);
    }
}
