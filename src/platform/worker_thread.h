// CWorkerThread: one run of a thread procedure on its own thread (a system
// thread: CreateThread and SetThreadPriority on Windows).
//
// The starter owns the object (a worker slot). IsRunning is the "exit code
// still active" test; a thread counts as running until its procedure has
// returned. There is no forced termination: a thread that must stop has to
// notice a request and end by itself. Destroying the object joins a
// finished thread and detaches a running one, which may then still end on
// its own.
#pragma once

#include "platform/win_types.h"

#include <functional>
#include <memory>

#if defined(_WIN32)
#include "platform/windows/thread_handle.h"
using SystemThread = ThreadHandle;
#else
#include <thread>
using SystemThread = std::thread;
#endif

class CWorkerThread {
public:
    using Procedure = std::function<DWORD()>;
    enum class Priority { Normal, BelowNormal };

    // Starts the procedure at once. Null on failure, with the last error set.
    // BelowNormal lowers the new thread's priority one step where the
    // platform allows it; a refusal is not an error.
    static std::unique_ptr<CWorkerThread> Start(Procedure procedure, Priority priority = Priority::Normal);

    ~CWorkerThread();
    CWorkerThread(const CWorkerThread &) = delete;
    CWorkerThread &operator=(const CWorkerThread &) = delete;

    bool IsRunning() const;
    // STILL_ACTIVE while running, then the procedure's result.
    DWORD GetExitCode() const;
    bool IsCurrentThread() const;

    // Waits up to `timeout` ms for the end; true when it has ended.
    bool Wait(DWORD timeout);
    // The same, running the calling thread's queued host messages meanwhile.
    bool WaitPumping(DWORD timeout);

    struct PrivateTag {};
    explicit CWorkerThread(PrivateTag) {}

private:
    struct State;

    std::shared_ptr<State> m_state;
    SystemThread m_thread;
};

// ThreadCalls: how CWorkerThread makes its threads, in one table, so that
// tests can have a start refused as the system refuses one, without a second
// copy of the start.
struct ThreadCalls {
    // Runs `body` on a new thread (CreateThread on Windows); throws
    // std::system_error with the system's error when none can be made.
    SystemThread (*spawn)(std::function<void()> body);
};

const ThreadCalls &SystemThreadCalls();
// Replaces the table for later starts; null restores the system's. The
// table must outlive every start made with it.
void UseThreadCalls(const ThreadCalls *calls);
