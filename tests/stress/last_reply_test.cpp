// A stop that comes while the server is answering the end of data: the
// server may be storing the turn, so its reply may still come within the
// stopper's bound, and the player hears that the turn was sent before the
// abort; a reply that does not come in time ends in the abort alone.
#include "stress_fixture.h"

#include "workers/control_events.h"
#include "workers/worker_slot.h"

namespace {

using Lines = std::vector<std::string>;
const std::string ABORTED = "Abort by user";

class LastReplyTest : public StressTest {
protected:
    // Sends one turn to a server that holds its answer to the end of data,
    // then cancels once the sender has its content out.
    void CancelWhileTheEndOfDataIsAnswered(LoopbackSmtpServer &held)
    {
        host.Load();
        OpenAlpha(held);
        SendTurn("accepted");
        ASSERT_TRUE(host.PumpUntil([&] { return held.WaitUntilHeld(0); }));
        host.Api().Cancel();
        ASSERT_TRUE(host.PumpUntil([] { return g_eventAbort.IsSignalled(); }));
    }

    Lines LastTexts(std::size_t count) const
    {
        const Lines texts = host.Texts();
        return Lines(texts.end() - static_cast<std::ptrdiff_t>(std::min(count, texts.size())), texts.end());
    }
};

TEST_F(LastReplyTest, CancelLetsTheReplyToTheEndOfDataComeAndReportsTheTurnSentBeforeTheAbort)
{
    LoopbackSmtpServer held(WellBehavedSmtp{{}, "END"});
    CancelWhileTheEndOfDataIsAnswered(held);
    held.Release();
    ASSERT_TRUE(host.WaitForText(ABORTED));
    ASSERT_TRUE(WaitForIdleWorkers());
    EXPECT_EQ(LastTexts(2), (Lines{"Alpha message sent", ABORTED}));
    EXPECT_EQ(SentBodies(), Lines{"accepted"});
    EXPECT_EQ(Queued(), 0u);
}

TEST_F(LastReplyTest, ReplyThatMissesTheCancelBoundEndsInTheAbortAlone)
{
    g_dwWorkerStopTimeout = 300;
    LoopbackSmtpServer held(WellBehavedSmtp{{}, "END"});
    CancelWhileTheEndOfDataIsAnswered(held);
    ASSERT_TRUE(host.WaitForText(ABORTED));
    ASSERT_TRUE(WaitForIdleWorkers());
    EXPECT_EQ(LastTexts(2), (Lines{"Alpha sending message", ABORTED}));
    EXPECT_FALSE(g_hSenderThread.IsAbandoned());  // it ended within the canceller's wait
    EXPECT_TRUE(SentBodies().empty());
    EXPECT_EQ(Queued(), 0u);
}

}  // namespace
