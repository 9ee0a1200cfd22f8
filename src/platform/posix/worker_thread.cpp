#include "platform/worker_thread.h"

#include "platform/host_window.h"
#include "platform/posix/message_queue.h"
#include "platform/worker_thread_hooks.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

namespace {

std::thread SpawnSystemThread(std::function<void()> body) { return std::thread(std::move(body)); }

constexpr ThreadCalls SYSTEM_THREAD_CALLS{SpawnSystemThread};

}  // namespace

const ThreadCalls &SystemThreadCalls() { return SYSTEM_THREAD_CALLS; }

void LowerPriorityOfCallingThread()
{
    const id_t thread = static_cast<id_t>(gettid());
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, thread);
    if (errno == 0)
        setpriority(PRIO_PROCESS, thread, nice + 1);
}

// A thread that pumps while it waits for this one is woken.
void AfterThreadEnd() { message_queue::NotifyChange(); }

bool CWorkerThread::IsCurrentThread() const { return m_thread.get_id() == std::this_thread::get_id(); }

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
