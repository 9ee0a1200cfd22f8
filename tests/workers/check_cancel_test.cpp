// The checker and the canceller, and how a cancel stops the sender.
#include "workers_fixture.h"

#include "app/transport_app.h"
#include "workers/control_events.h"
#include "workers/outbox.h"
#include "workers/worker_slot.h"

namespace {

class CheckCancelTest : public WorkersTest {
protected:
    void CancelAndWait()
    {
        const std::size_t words = Count(MORV_TN_STATUS);
        host.Api().Cancel();
        ASSERT_TRUE(host.WaitForText("Abort by user"));
        ASSERT_TRUE(WaitFor(MORV_TN_STATUS, words + 1));
    }

    const Lines heldStart{"text Ready", "text Alpha sending message", "status 0x0D"};
};

TEST_F(CheckCancelTest, CheckSendsExactlyTwoStatusWords)
{
    host.Load();
    host.Api().Check();
    ASSERT_TRUE(WaitFor(MORV_TN_STATUS, 2));
    EXPECT_EQ(host.Transcript(), (Lines{"text Ready", "status 0x02", "status 0x00"}));
}

TEST_F(CheckCancelTest, CancelWithNothingQueuedReportsAbortAndClearsOnlyUnsentAndBusy)
{
    theApp.m_dwStatus = TS_SENDING | TS_CHECKING | TS_UNSENT | TS_BUSY;
    host.Load();
    CancelAndWait();
    EXPECT_EQ(host.Transcript(), (Lines{"text Ready", "text Abort by user", "status 0x03"}));
}

TEST_F(CheckCancelTest, CancelDuringALongDeliveryReportsNoOutcomeAndDiscardsTheQueue)
{
    StartHeldDelivery(MailerRule::HoldThenSucceed);
    SendMessage("Alpha", "queued");
    CancelAndWait();
    Lines expected = heldStart;
    expected.insert(expected.end(), {"text Abort by user", "status 0x01"});
    EXPECT_EQ(host.Transcript(), expected);
    EXPECT_EQ(mailer.Aborted(), 1);
    EXPECT_EQ(g_arrOutbox.GetCount(), 0u);

    // The abort meant for that sender does not stop the next one.
    SendMessage("Alpha", "next");
    ASSERT_TRUE(WaitFor(MORV_TN_SENT, 1));
    EXPECT_EQ(mailer.Bodies(), (Lines{"long", "next"}));
}

TEST_F(CheckCancelTest, SenderOutlivingTheBoundReportsNothingMoreAndASendMeanwhileGoesOutAsItEnds)
{
    g_dwWorkerStopTimeout = 50;
    StartHeldDelivery(MailerRule::HoldIgnoringAbort);
    CancelAndWait();
    // The dispatcher takes the send wake-up before the check's; the stuck
    // sender's slot absorbs it.
    SendMessage("Alpha", "later");
    host.Api().Check();
    ASSERT_TRUE(WaitFor(MORV_TN_STATUS, 4));
    EXPECT_EQ(mailer.Bodies().size(), 1u);

    // The held delivery succeeds unreported; the absorbed wake-up is not
    // lost when that sender ends.
    const std::size_t seen = host.Notifications().size();
    mailer.Release();
    ASSERT_TRUE(WaitFor(MORV_TN_SENT, 1));
    const Lines transcript = host.Transcript();
    EXPECT_EQ(Lines(transcript.begin() + static_cast<std::ptrdiff_t>(seen), transcript.end()),
              DeliveredLines("later"));
    EXPECT_EQ(mailer.Bodies(), (Lines{"long", "later"}));
}

TEST_F(CheckCancelTest, FailedDeliveryClearsCheckingEvenWhileTheCheckerRuns)
{
    StartHeldDelivery(MailerRule::HoldThenFail);
    // The checker stands still in its first notification while the host
    // lets the delivery fail.
    bool released = false;
    host.OnNotification([&](const HostNotification &notification) {
        if (released || notification.kind != MORV_TN_STATUS || notification.status != 0x0F)
            return;
        released = true;
        mailer.Release();
        EXPECT_TRUE(WaitFor(MORV_TN_STATUS, 3));
    });
    host.Api().Check();
    ASSERT_TRUE(WaitFor(MORV_TN_STATUS, 4));
    Lines expected = heldStart;
    expected.insert(expected.end(), {"status 0x0F", "text Alpha ERR: 550 refused", "status 0x04", "status 0x04"});
    EXPECT_EQ(host.Transcript(), expected);
}

}  // namespace
