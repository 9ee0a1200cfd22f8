// OnClose while workers run: they end before it frees the games and
// returns.
#include "workers_fixture.h"

#include "app/game_registry.h"
#include "workers/control_events.h"

#include <mutex>

namespace {

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
}

}  // namespace
