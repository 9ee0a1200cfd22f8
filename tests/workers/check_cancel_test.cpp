// The checker and the canceller, and how a cancel stops the sender.
#include "workers_fixture.h"

#include "plugin/transport_app.h"
#include "workers/control_events.h"
#include "workers/outbox.h"
#include "workers/worker_slot.h"

namespace {

using Lines = std::vector<std::string>;

constexpr MailerRule HOLD_THEN_FAIL{false, true, true};

class CheckCancelTest : public WorkersTest {
protected:
    // Loads, opens Alpha and starts a delivery of `body` that the fake
    // mailer holds by `rule`.
    void StartHeldDelivery(const std::string &body, MailerRule rule)
    {
        mailer.SetRule(body, rule);
        host.Load();
        Open("Alpha");
        SendMessage("Alpha", body);
        ASSERT_TRUE(WaitForCalls(1));
    }

    void CancelAndWait()
    {
        host.Api().Cancel();
        ASSERT_TRUE(host.WaitForText("Abort by user"));
        ASSERT_TRUE(host.PumpUntil([&] { return host.Notifications().back().kind == MORV_TN_STATUS; }));
    }

    const Lines heldStart{"text Ready", "text Game Alpha intializing", "text Alpha sending message", "status 0x0D"};
};

TEST_F(CheckCancelTest, CheckSendsExactlyTwoStatusWords)
{
    host.Load();
    host.Api().Check();
    ASSERT_TRUE(host.PumpUntil([&] { return Count(MORV_TN_STATUS) == 2; }));
    EXPECT_EQ(host.Transcript(), (Lines{"text Ready", "status 0x02", "status 0x00"}));
}

TEST_F(CheckCancelTest, CancelWithNothingQueuedReportsAbortAndClearsOnlyUnsentAndBusy)
{
    theApp.m_dwStatus = TS_SENDING | TS_CHECKING | TS_UNSENT | TS_BUSY;
    host.Load();
    CancelAndWait();
    EXPECT_EQ(host.Transcript(), (Lines{"text Ready", "text Abort by user", "status 0x03"}));
}

TEST_F(CheckCancelTest, CancelDuringALongDeliveryReportsNoOutcomeAndLeavesSendingSet)
{
    StartHeldDelivery("long", FakeMailer::HOLD);
    CancelAndWait();
    Lines expected = heldStart;
    expected.insert(expected.end(), {"text Abort by user", "status 0x01"});
    EXPECT_EQ(host.Transcript(), expected);
    EXPECT_EQ(mailer.Aborted(), 1u);
    EXPECT_FALSE(g_hSenderThread.IsRunning());
}

TEST_F(CheckCancelTest, CancelDiscardsEveryQueuedMessage)
{
    StartHeldDelivery("long", FakeMailer::HOLD);
    SendMessage("Alpha", "queued 1");
    SendMessage("Alpha", "queued 2");
    CancelAndWait();
    EXPECT_EQ(g_arrOutbox.GetCount(), 0u);
    EXPECT_EQ(mailer.Bodies(), (Lines{"long"}));
}

TEST_F(CheckCancelTest, AbortOfAnEndedSenderDoesNotStopTheNextOne)
{
    StartHeldDelivery("long", FakeMailer::HOLD);
    CancelAndWait();
    SendMessage("Alpha", "next");
    ASSERT_TRUE(WaitForSent(1));
    EXPECT_EQ(host.Statuses().back(), 0u);
}

TEST_F(CheckCancelTest, StaleAbortLeftSetIsClearedBeforeASenderStarts)
{
    g_eventAbort.SetEvent();
    host.Load();
    Open("Alpha");
    SendMessage("Alpha", "fresh");
    ASSERT_TRUE(WaitForSent(1));
}

TEST_F(CheckCancelTest, SenderOutlivingTheBoundKeepsItsSlotAndTouchesNothingMore)
{
    g_dwWorkerStopTimeout = 50;
    StartHeldDelivery("stuck", FakeMailer::HOLD_IGNORING_ABORT);
    CancelAndWait();
    EXPECT_TRUE(g_hSenderThread.IsRunning());

    // The dispatcher takes the send wake-up before the check; the stuck
    // sender's slot absorbs it.
    SendMessage("Alpha", "later");
    host.Api().Check();
    ASSERT_TRUE(host.PumpUntil([&] { return Count(MORV_TN_STATUS) == 4; }));
    EXPECT_EQ(mailer.Calls(), 1u);

    const std::size_t seen = host.Notifications().size();
    mailer.Release();
    ASSERT_TRUE(WaitForIdleWorkers());
    host.Pump();
    EXPECT_EQ(host.Notifications().size(), seen);
    EXPECT_EQ(g_arrOutbox.GetCount(), 1u);

    SendMessage("Alpha", "again");
    ASSERT_TRUE(WaitForSent(2));
    EXPECT_EQ(mailer.Bodies(), (Lines{"stuck", "again", "later"}));
}

TEST_F(CheckCancelTest, FailedDeliveryClearsCheckingEvenWhileTheCheckerRuns)
{
    StartHeldDelivery("bad", HOLD_THEN_FAIL);
    // The checker stands still in its first notification while the host
    // lets the delivery fail.
    bool released = false;
    host.OnNotification([&](const Notification &notification) {
        if (released || notification.kind != MORV_TN_STATUS || notification.status != 0x0F)
            return;
        released = true;
        mailer.Release();
        EXPECT_TRUE(host.PumpUntil([&] { return Count(MORV_TN_STATUS) == 3; }));
    });
    host.Api().Check();
    ASSERT_TRUE(host.PumpUntil([&] { return Count(MORV_TN_STATUS) == 4; }));
    Lines expected = heldStart;
    expected.insert(expected.end(), {"status 0x0F", "text Alpha ERR: 550 refused", "status 0x04", "status 0x04"});
    EXPECT_EQ(host.Transcript(), expected);
}

}  // namespace
