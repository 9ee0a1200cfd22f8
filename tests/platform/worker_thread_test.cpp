#include "platform/last_error.h"
#include "platform/worker_thread.h"
#include "support/thread_start_failures.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

TEST(WorkerThreadTest, RunsUntilTheProcedureReturns)
{
    std::atomic<bool> release{false};
    auto worker = CWorkerThread::Start([&]() -> DWORD {
        while (!release)
            std::this_thread::yield();
        return 0;
    }, CWorkerThread::Priority::BelowNormal);
    ASSERT_TRUE(worker);
    EXPECT_TRUE(worker->IsRunning());
    EXPECT_EQ(worker->GetExitCode(), STILL_ACTIVE);
    EXPECT_FALSE(worker->Wait(0));
    release = true;
    EXPECT_TRUE(worker->Wait(10000));
    EXPECT_FALSE(worker->IsRunning());
    EXPECT_EQ(worker->GetExitCode(), 0u);
}

TEST(WorkerThreadTest, RefusedStartSetsTheLastErrorAndTheNextStartWorks)
{
    const ScopedThreadStartFailures refused(1, 8);
    EXPECT_FALSE(CWorkerThread::Start([]() -> DWORD { return 0; }));
    EXPECT_EQ(GetLastError(), 8u);
    auto worker = CWorkerThread::Start([]() -> DWORD { return 0; });
    ASSERT_TRUE(worker);
    EXPECT_TRUE(worker->Wait(10000));
}

TEST(LastErrorTest, EachThreadHasItsOwn)
{
    SetLastError(ERROR_BAD_COMMAND);
    auto worker = CWorkerThread::Start([]() -> DWORD {
        const DWORD initial = GetLastError();
        WSASetLastError(static_cast<int>(WSAETIMEDOUT));
        return initial;
    });
    ASSERT_TRUE(worker && worker->Wait(10000));
    EXPECT_EQ(worker->GetExitCode(), 0u);
    // The system's own calls on this thread may have set it meanwhile, but
    // never to what the worker set.
    EXPECT_NE(GetLastError(), static_cast<DWORD>(WSAETIMEDOUT));
}

}  // namespace
