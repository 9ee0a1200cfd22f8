// The host's reading of outcomes from the notification stream.
#include "host/session/outcome_tracker.h"
#include "host/text/text_codec.h"
#include "morvtransport/morvtransport.h"

#include <gtest/gtest.h>

namespace {

// A script of notifications: "t:TEXT", "s:WORD" (hex), "sent".
void Play(OutcomeTracker &tracker, std::initializer_list<std::string> script)
{
    for (const std::string &step : script) {
        HostNotification notification;
        if (step == "sent") {
            notification.kind = MORV_TN_SENT;
        } else if (step.rfind("s:", 0) == 0) {
            notification.kind = MORV_TN_STATUS;
            notification.status = static_cast<DWORD>(std::stoul(step.substr(2), nullptr, 16));
        } else {
            notification.kind = MORV_TN_TEXT;
            notification.text = Utf8ToAnsi(step.substr(2));
        }
        tracker.Observe(notification);
    }
}

TEST(OutcomeTracker, SuccessIsTheDeliveredRecord)
{
    OutcomeTracker tracker;
    Play(tracker, {"t:G sending message", "s:0d", "t:G message sent", "s:00", "sent"});
    EXPECT_EQ(tracker.Sent(), 1);
    EXPECT_EQ(tracker.Failed(), 0);
    EXPECT_TRUE(tracker.Settled(1));
}

TEST(OutcomeTracker, FailureIsTheWordDroppingToUnsentAloneAndKeepsItsText)
{
    OutcomeTracker tracker;
    Play(tracker, {"t:G sending message", "s:0d", "t:G ERR: 550 no", "s:04"});
    EXPECT_EQ(tracker.Failed(), 1);
    EXPECT_EQ(tracker.LastFailureText(), "G ERR: 550 no");
}

TEST(OutcomeTracker, CheckerWordsAloneAreNoOutcome)
{
    OutcomeTracker tracker;
    Play(tracker, {"t:G sending message", "s:0d", "t:G ERR: x", "s:04", "s:06", "s:04", "s:02", "s:00"});
    EXPECT_EQ(tracker.Failed(), 1);
    EXPECT_EQ(tracker.Sent(), 0);
}

TEST(OutcomeTracker, CheckerDuringADeliveryDoesNotEndIt)
{
    OutcomeTracker tracker;
    Play(tracker, {"s:0d", "s:0f", "s:0d", "t:G message sent", "s:00", "sent"});
    EXPECT_EQ(tracker.Sent(), 1);
    EXPECT_EQ(tracker.Failed(), 0);
}

TEST(OutcomeTracker, SeveralMessagesSettleOneByOne)
{
    OutcomeTracker tracker;
    Play(tracker, {"s:0d", "t:B message sent", "s:00", "sent", "s:0d", "t:A ERR", "s:04"});
    EXPECT_FALSE(tracker.Settled(3));
    Play(tracker, {"s:0d", "s:00", "sent"});
    EXPECT_TRUE(tracker.Settled(3));
    EXPECT_EQ(tracker.Sent(), 2);
    EXPECT_EQ(tracker.Failed(), 1);
}

TEST(OutcomeTracker, CancelledDeliveryHasNoOutcomeAndTheAbortEndsWithItsStatusWord)
{
    for (const char *abort : {"t:Abort by user", "t:Прервано пользователем"}) {
        OutcomeTracker tracker;
        Play(tracker, {"s:0d", abort});
        EXPECT_FALSE(tracker.Aborted()) << "the status word is still to come";
        Play(tracker, {"s:01"});
        EXPECT_TRUE(tracker.Aborted()) << abort;
        EXPECT_FALSE(tracker.Settled(1));
    }
}

}  // namespace
