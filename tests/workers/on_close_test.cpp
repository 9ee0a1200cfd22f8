// OnClose while workers run: they end before it frees the games and
// returns.
#include "workers_fixture.h"

#include "app/game_registry.h"
#include "platform/ticks.h"
#include "workers/control_events.h"
#include "workers/dispatcher.h"
#include "workers/outbox.h"
#include "workers/worker_slot.h"

#include <atomic>
#include <mutex>

namespace {

// A clock that the test moves on ahead of the tick counter.
std::atomic<DWORD> g_skipped{0};
DWORD SkippingClock() { return GetTickCount() + g_skipped.load(); }

// Honours the stop request, but only once the whole bound has passed by
// SkippingClock.
DWORD SlowToStop()
{
    g_eventAbort.Lock(TestHost::DEFAULT_WAIT_MS);
    g_skipped += g_dwWorkerStopTimeout.load();
    return 0;
}

CEvent g_stuckGate;

// Ignores every stop request; once let go, lets the next one go too.
DWORD Stuck()
{
    g_stuckGate.Lock(TestHost::DEFAULT_WAIT_MS);
    g_stuckGate.SetEvent();
    return 0;
}

class OnCloseTest : public WorkersTest {
protected:
    static bool GamesFreed()
    {
        std::lock_guard<CMutex> lock(g_mutexGames);
        return g_mapGames.empty();
    }
};

TEST_F(OnCloseTest, DuringADeliveryACheckAndACancelStopsEveryWorker)
{
    StartHeldDelivery(MailerRule::HoldThenSucceed);
    host.Api().Check();
    host.Api().Cancel();
    host.Api().OnClose();
    EXPECT_FALSE(AnyWorkerRuns());
    EXPECT_TRUE(GamesFreed());
    EXPECT_EQ(mailer.Aborted(), 1);
    EXPECT_FALSE(host.WaitForText("Alpha message sent", 0));
}

TEST_F(OnCloseTest, ReturnsAfterTheBoundWhenTheSenderIgnoresTheAbort)
{
    g_dwWorkerStopTimeout = 50;
    StartHeldDelivery(MailerRule::HoldIgnoringAbort);
    const std::size_t seen = host.Notifications().size();
    host.Api().OnClose();
    EXPECT_TRUE(GamesFreed());
    mailer.Release();
    ASSERT_TRUE(WaitForIdleWorkers());
    host.Pump();
    EXPECT_EQ(host.Notifications().size(), seen);
    // Taken by the mail system: never to be delivered again after an OnLoad.
    EXPECT_EQ(g_arrOutbox.GetCount(), 0u);
}

// The bound is one for all the workers: what the sender used up is not
// given again to the checker and the canceller.
TEST_F(OnCloseTest, WorkersShareOneBoundAndNoneGetsItWhole)
{
    g_dwWorkerStopTimeout = 4000;
    g_skipped = 0;
    g_stuckGate.ResetEvent();
    ASSERT_TRUE(g_hSenderThread.StartUnlessRunning(SlowToStop));
    ASSERT_TRUE(g_hCheckerThread.StartUnlessRunning(Stuck));
    ASSERT_TRUE(g_hCancellerThread.StartUnlessRunning(Stuck));
    const DWORD start = GetTickCount();
    EXPECT_FALSE(StopWorkers(SkippingClock));
    EXPECT_LT(GetTickCount() - start, g_dwWorkerStopTimeout.load() / 2);
    EXPECT_FALSE(g_hSenderThread.IsRunning());
    g_stuckGate.SetEvent();
    EXPECT_TRUE(WaitForIdleWorkers());
}

}  // namespace
