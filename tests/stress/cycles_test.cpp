// Many cycles of OnLoad, Send, Cancel and OnClose with deliveries in
// flight, some of them held by the server. Each message ends reported
// (sent or failed), cancelled, or still queued; none is reported twice.
#include "stress_fixture.h"

#include "app/transport_app.h"
#include "workers/control_events.h"
#include "workers/outbox.h"

namespace {

enum class Ending { AllSent, Cancelled, Closed, CancelledAndClosedAtOnce, HeldThenCancelled, HeldThenClosed, COUNT };

constexpr int CYCLES = 24;
constexpr std::size_t TURNS = 4;
constexpr DWORD ABORT_BOUND_MS = 5000 + 3000;
const std::string ABORTED = "Abort by user";

// What OnClose may leave queued: a cancel empties the queue; a close keeps
// every message without an outcome, the one it cut short included. A
// cancel that OnClose overtakes may not have run.
bool QueueAsExpected(Ending ending, std::size_t sent, std::size_t queued)
{
    switch (ending) {
    case Ending::Closed: return queued == TURNS - sent;
    case Ending::HeldThenClosed: return queued == TURNS;
    case Ending::CancelledAndClosedAtOnce: return queued == 0 || queued == TURNS - sent;
    default: return queued == 0;
    }
}

class CyclesTest : public StressTest {
protected:
    // Index of the last notification of `kind`, or -1.
    long LastOf(WPARAM kind) const
    {
        const auto &all = host.Notifications();
        for (std::size_t i = all.size(); i > 0; --i)
            if (all[i - 1].kind == kind)
                return static_cast<long>(i - 1);
        return -1;
    }

    void CancelAndWaitForAbort()
    {
        const std::size_t aborts = CountTexts(ABORTED);
        host.Api().Cancel();
        ASSERT_TRUE(host.PumpUntil([&] { return CountTexts(ABORTED) > aborts; }, ABORT_BOUND_MS));
        // Nothing is reported for a message after the abort.
        EXPECT_LT(LastOf(TN_SENT), LastOf(TN_TEXT));
        EXPECT_EQ(Queued(), 0u);
    }
};

TEST_F(CyclesTest, LoadSendCancelAndCloseWithDeliveriesInFlightAccountForEveryMessage)
{
    LoopbackSmtpServer held(WellBehavedSmtp{{}, "END"});
    for (int cycle = 0; cycle < CYCLES; ++cycle) {
        const auto ending = static_cast<Ending>(cycle % static_cast<int>(Ending::COUNT));
        const bool holding = ending == Ending::HeldThenCancelled || ending == Ending::HeldThenClosed;
        const std::size_t sentBefore = SentBodies().size();
        const std::size_t heldBefore = held.Messages().size();
        host.Load();
        OpenAlpha(holding ? held : server);
        for (std::size_t turn = 0; turn < TURNS; ++turn)
            SendTurn("cycle " + std::to_string(cycle) + " turn " + std::to_string(turn));
        if (holding) {
            ASSERT_TRUE(host.PumpUntil([&] { return held.Messages().size() > heldBefore; }));
        }
        if (ending == Ending::AllSent) {
            ASSERT_TRUE(host.PumpUntil([&] { return SentBodies().size() == sentBefore + TURNS; }));
        }
        host.Api().Check();
        if (ending == Ending::Cancelled || ending == Ending::HeldThenCancelled)
            CancelAndWaitForAbort();
        if (ending == Ending::CancelledAndClosedAtOnce)
            host.Api().Cancel();
        CloseWithinBounds();
        const std::size_t sent = SentBodies().size() - sentBefore;
        EXPECT_TRUE(QueueAsExpected(ending, sent, Queued())) << "cycle " << cycle << ": " << sent << " sent, "
                                                              << Queued() << " queued";
        if (holding) {
            EXPECT_EQ(sent, 0u);
        }
        g_arrOutbox.Clear();
        // A cancel that OnClose overtook stays pending for the next OnLoad.
        g_eventCancel.ResetEvent();
    }
    EXPECT_EQ(CountTextsStartingWith("Alpha ERR"), 0u);
    ExpectReportedOnceAndOnTheServer(server);
}

}  // namespace
