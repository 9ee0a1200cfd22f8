// OnClose while workers run: every worker ends before it returns.
#include "workers_fixture.h"

#include "plugin/game_registry.h"
#include "plugin/transport_app.h"
#include "workers/control_events.h"
#include "workers/worker_slot.h"

namespace {

class OnCloseTest : public WorkersTest {
protected:
    static bool AnyWorkerRuns()
    {
        return g_hSenderThread.IsRunning() || g_hCheckerThread.IsRunning() || g_hCancellerThread.IsRunning();
    }

    static bool GamesFreed()
    {
        std::lock_guard<CMutex> lock(g_mutexGames);
        return g_mapGames.empty();
    }
};

TEST_F(OnCloseTest, DuringADeliveryStopsTheSenderWithoutAnOutcome)
{
    mailer.SetRule("long", FakeMailer::HOLD);
    host.Load();
    Open("Alpha");
    SendMessage("Alpha", "long");
    ASSERT_TRUE(WaitForCalls(1));
    const std::size_t seen = host.Notifications().size();
    host.Api().OnClose();
    EXPECT_FALSE(AnyWorkerRuns());
    EXPECT_TRUE(GamesFreed());
    EXPECT_EQ(mailer.Aborted(), 1u);
    EXPECT_EQ(host.Notifications().size(), seen);
}

TEST_F(OnCloseTest, WhileWorkersWaitOnTheHostRunsTheirNotifications)
{
    host.Load();
    Open("Alpha");
    SendMessage("Alpha", "quick");
    host.Api().Check();
    host.Api().Cancel();
    host.Api().OnClose();
    EXPECT_FALSE(AnyWorkerRuns());
    EXPECT_FALSE(theApp.m_hDispatcherThread);
}

TEST_F(OnCloseTest, DuringADeliveryACheckAndACancelStopsThemAll)
{
    mailer.SetRule("long", FakeMailer::HOLD);
    host.Load();
    Open("Alpha");
    SendMessage("Alpha", "long");
    ASSERT_TRUE(WaitForCalls(1));
    host.Api().Check();
    host.Api().Cancel();
    host.Api().OnClose();
    EXPECT_FALSE(AnyWorkerRuns());
    EXPECT_TRUE(GamesFreed());
}

TEST_F(OnCloseTest, ReturnsAfterTheBoundWhenTheSenderIgnoresTheAbort)
{
    g_dwWorkerStopTimeout = 50;
    mailer.SetRule("stuck", FakeMailer::HOLD_IGNORING_ABORT);
    host.Load();
    Open("Alpha");
    SendMessage("Alpha", "stuck");
    ASSERT_TRUE(WaitForCalls(1));
    const std::size_t seen = host.Notifications().size();
    host.Api().OnClose();
    EXPECT_TRUE(GamesFreed());
    EXPECT_TRUE(g_hSenderThread.IsRunning());
    mailer.Release();
    ASSERT_TRUE(WaitForIdleWorkers());
    host.Pump();
    EXPECT_EQ(host.Notifications().size(), seen);
}

}  // namespace
