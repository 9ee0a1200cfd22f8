// The dispatcher: which wake-up starts what, and a failed start.
#include "workers_fixture.h"

#include "app/transport_app.h"
#include "platform/worker_thread.h"
#include "settings/game_settings.h"
#include "support/thread_start_failures.h"
#include "workers/control_events.h"
#include "workers/outbox.h"

#include <algorithm>

namespace {

class DispatcherTest : public WorkersTest {
protected:
    bool CheckerRan() const
    {
        const std::vector<DWORD> words = host.Statuses();
        const auto up = std::find_if(words.begin(), words.end(), [](DWORD word) { return word & TS_CHECKING; });
        return std::any_of(up, words.end(), [](DWORD word) { return !(word & TS_CHECKING); });
    }
};

TEST_F(DispatcherTest, SendAndCheckBeforeOnLoadAreActedOnAtTheFirstWait)
{
    Open("Alpha");
    SendMessage("Alpha", "early");
    host.Api().Check();
    host.Load();
    ASSERT_TRUE(WaitFor(MORV_TN_SENT, 1));
    ASSERT_TRUE(host.PumpUntil([&] { return CheckerRan(); }));
}

TEST_F(DispatcherTest, TimeOutStartsTheSenderAndTheChecker)
{
    g_dwDispatchTimeout = 20;
    Open("Alpha");
    g_arrOutbox.Append(std::make_unique<CQueuedMessage>(MakeMap({{KEY_GAME_NAME, "Alpha"}, {KEY_BODY, "b"}})));
    host.Load();
    ASSERT_TRUE(WaitFor(MORV_TN_SENT, 1));
    ASSERT_TRUE(host.PumpUntil([&] { return CheckerRan(); }));
}

TEST_F(DispatcherTest, QuitSetTogetherWithCancelEndsTheDispatcherFirst)
{
    g_eventQuit.SetEvent();
    g_eventCancel.SetEvent();
    host.Load();
    ASSERT_TRUE(theApp.m_hDispatcherThread->Wait(TestHost::DEFAULT_WAIT_MS));
    host.Pump();
    EXPECT_EQ(host.Transcript(), (Lines{"text Ready"}));
    EXPECT_TRUE(g_eventCancel.IsSignalled());
}

TEST_F(DispatcherTest, FailedWorkerStartIsReportedAndTheNextWakeUpTriesAgain)
{
    host.Load();
    const ScopedThreadStartFailures refused(1, 11);
    host.Api().Check();
    ASSERT_TRUE(host.WaitForText("Error=11"));
    host.Api().Check();
    ASSERT_TRUE(WaitFor(MORV_TN_STATUS, 2));
    EXPECT_EQ(host.Transcript(), (Lines{"text Ready", "text Error=11", "status 0x02", "status 0x00"}));
}

TEST_F(DispatcherTest, SecondOnLoadKeepsTheRunningDispatcher)
{
    host.Load();
    const CWorkerThread *first = theApp.m_hDispatcherThread.get();
    host.Load();
    EXPECT_EQ(theApp.m_hDispatcherThread.get(), first);
}

}  // namespace
