// CWorkerSlot: a wake-up absorbed while the worker runs is handed to it.
#include "workers/worker_slot.h"

#include "platform/event.h"
#include "support/test_host.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

CEvent g_gate;
std::atomic<int> g_refusals{0};
std::atomic<int> g_otherRuns{0};

// Runs out of work once the gate opens, and asks its slot to end.
DWORD SteppedWorker()
{
    g_gate.Lock(TestHost::DEFAULT_WAIT_MS);
    while (!g_hCheckerThread.EndUnlessWoken())
        ++g_refusals;
    return 0;
}

DWORD OtherWorker()
{
    ++g_otherRuns;
    return 0;
}

TEST(WorkerSlotTest, WakeUpAbsorbedWhileRunningMakesTheWorkerLookAgain)
{
    g_gate.ResetEvent();
    g_refusals = g_otherRuns = 0;
    CWorkerSlot &slot = g_hCheckerThread;
    ASSERT_TRUE(slot.StartUnlessRunning(SteppedWorker));
    ASSERT_TRUE(slot.StartUnlessRunning(OtherWorker));
    g_gate.SetEvent();
    ASSERT_TRUE(slot.Stop(TestHost::DEFAULT_WAIT_MS, CWorkerSlot::WaitMode::Plain));
    EXPECT_EQ(g_refusals, 1);
    EXPECT_EQ(g_otherRuns, 0);
}

}  // namespace
