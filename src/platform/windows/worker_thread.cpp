#include "platform/worker_thread.h"

#include "platform/host_window.h"
#include "platform/ticks.h"
#include "platform/worker_thread_hooks.h"

#include <memory>
#include <system_error>

namespace {

using Body = std::function<void()>;

DWORD WINAPI RunBody(void *parameter)
{
    const std::unique_ptr<Body> body(static_cast<Body *>(parameter));
    (*body)();
    return 0;
}

ThreadHandle SpawnSystemThread(Body body)
{
    auto owned = std::make_unique<Body>(std::move(body));
    const HANDLE handle = CreateThread(nullptr, 0, RunBody, owned.get(), 0, nullptr);
    if (!handle)
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category());
    static_cast<void>(owned.release());  // the thread's now
    return ThreadHandle(handle);
}

constexpr ThreadCalls SYSTEM_THREAD_CALLS{SpawnSystemThread};

}  // namespace

const ThreadCalls &SystemThreadCalls() { return SYSTEM_THREAD_CALLS; }

void LowerPriorityOfCallingThread() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

void AfterThreadEnd() {}

bool CWorkerThread::IsCurrentThread() const
{
    return m_thread.joinable() && GetThreadId(m_thread.Get()) == GetCurrentThreadId();
}

// The thread's handle and the calling thread's messages are waited for
// together; sent messages run inside PumpMessages.
bool CWorkerThread::WaitPumping(DWORD timeout)
{
    const CTickBound bound(timeout);
    for (;;) {
        PumpMessages();
        if (!IsRunning())
            return true;
        if (bound.Expired())
            return false;
        const HANDLE thread = m_thread.Get();
        MsgWaitForMultipleObjectsEx(thread ? 1 : 0, thread ? &thread : nullptr, bound.Left(), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}
