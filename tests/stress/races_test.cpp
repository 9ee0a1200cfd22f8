// Entry points racing the workers: Close, OnOk and OnClose against the
// sender's look-up of the same game; Send from several host threads; storms
// of Check and Cancel while deliveries run.
#include "stress_fixture.h"

#include "app/transport_app.h"
#include "workers/control_events.h"
#include "host/page/settings_window.h"

#include <functional>
#include <thread>

namespace {

class RacesTest : public StressTest {
protected:
    // Waits until the dispatcher has acted on every Check and Cancel so
    // far and the workers it started have ended. No worker running is not
    // enough: the dispatcher resets an event as it takes it and starts the
    // worker a moment later, and a Cancel taken late discards the turns
    // sent after it. It acts on one event at a time, so once it has taken
    // a send event set after those, it has started their workers; the
    // sender that send starts finds nothing queued, or takes what is.
    bool WaitUntilSettled()
    {
        if (!host.PumpUntil([] { return !g_eventCheck.IsSignalled() && !g_eventCancel.IsSignalled(); }))
            return false;
        g_eventSend.SetEvent();
        return host.PumpUntil([] { return !g_eventSend.IsSignalled(); }) && WaitForIdleWorkers();
    }

    // Sends one message to a server that holds its answer to QUIT, stops
    // the plug-in there with `stop`, then checks that the accepted message
    // was reported once and left the queue, so that no later sender
    // delivers it again.
    void StopWhileQuitIsAnswered(const std::function<void()> &stop)
    {
        LoopbackSmtpServer held(WellBehavedSmtp{{}, "QUIT"});
        host.Load();
        OpenAlpha(held);
        SendTurn("accepted");
        ASSERT_TRUE(host.PumpUntil([&] { return held.WaitUntilHeld(0); }));
        stop();
        EXPECT_EQ(SentBodies(), std::vector<std::string>{"accepted"});
        EXPECT_EQ(CountTexts("Alpha message sent"), 1u);
        EXPECT_EQ(Queued(), 0u);
        EXPECT_EQ(held.Messages().size(), 1u);
    }
};

constexpr DWORD ABORT_BOUND_MS = 5000 + 3000;
const std::string ABORTED = "Abort by user";
using Lines = std::vector<std::string>;

TEST_F(RacesTest, CloseOnOkAndOnCloseRacingTheSendersLookupLoseNoReportedMessage)
{
    SettingsWindow settings;
    CString alpha("Alpha");
    host.Load();
    OpenAlpha(server);
    constexpr int TURNS = 90;
    for (int turn = 0; turn < TURNS; ++turn) {
        SendTurn("turn " + std::to_string(turn));
        if (turn % 3 == 0) {
            host.Api().Close(alpha);
            OpenAlpha(server);
        } else if (turn % 3 == 1) {
            host.Api().CreateConfigDialog(&settings.Tree(), alpha);
            host.Api().OnOk(alpha);
            DeleteItemPages(settings.Tree());
        }
        // Delivered or dropped, the message leaves the queue.
        ASSERT_TRUE(host.PumpUntil([] { return Queued() == 0; }));
    }
    const std::size_t handled = SentBodies().size();
    EXPECT_GT(handled, 0u);
    for (int turn = 0; turn < 5; ++turn)
        SendTurn("last " + std::to_string(turn));
    host.Pump();
    host.Api().Close(alpha);
    CloseWithinBounds();
    EXPECT_EQ(CountTextsStartingWith("Alpha ERR"), 0u);
    ExpectReportedOnceAndOnTheServer(server);
    // A delivery cut short by OnClose may have reached the server unreported.
    EXPECT_LE(server.Messages().size(), SentBodies().size() + 1);
    EXPECT_LE(SentBodies().size() + Queued(), static_cast<std::size_t>(TURNS + 5));
}

TEST_F(RacesTest, SendFromSeveralHostThreadsDeliversEveryMessageOnce)
{
    constexpr int THREADS = 4;
    constexpr int PER_THREAD = 20;
    host.Load();
    OpenAlpha(server);
    std::vector<std::thread> senders;
    for (int thread = 0; thread < THREADS; ++thread) {
        senders.emplace_back([this, thread] {
            for (int turn = 0; turn < PER_THREAD; ++turn)
                SendTurn("thread " + std::to_string(thread) + " turn " + std::to_string(turn));
        });
    }
    for (std::thread &sender : senders)
        sender.join();
    ASSERT_TRUE(host.PumpUntil([&] { return SentBodies().size() == THREADS * PER_THREAD; }));
    ASSERT_TRUE(WaitForIdleWorkers());
    EXPECT_EQ(Queued(), 0u);
    EXPECT_EQ(server.Messages().size(), static_cast<std::size_t>(THREADS * PER_THREAD));
    ExpectReportedOnceAndOnTheServer(server);
}

TEST_F(RacesTest, CheckAndCancelStormsDuringDeliveriesEndIdleWithNothingQueued)
{
    host.Load();
    OpenAlpha(server);
    constexpr int BURSTS = 24;
    constexpr std::size_t TURNS = 3;
    for (int burst = 0; burst < BURSTS; ++burst) {
        const std::size_t sent = SentBodies().size();
        const std::size_t aborts = CountTexts(ABORTED);
        const bool cancelling = burst % 3 == 2;
        for (std::size_t turn = 0; turn < TURNS; ++turn)
            SendTurn("burst " + std::to_string(burst) + " turn " + std::to_string(turn));
        for (int storm = 0; storm < 20; ++storm) {
            host.Api().Check();
            if (cancelling && storm % 4 == 0)
                host.Api().Cancel();
            host.Pump();
        }
        if (cancelling) {
            ASSERT_TRUE(host.PumpUntil([&] { return CountTexts(ABORTED) > aborts; }, ABORT_BOUND_MS));
        } else {
            ASSERT_TRUE(host.PumpUntil([&] { return SentBodies().size() == sent + TURNS; }));
        }
        ASSERT_TRUE(WaitUntilSettled());
        host.Pump();
        EXPECT_EQ(Queued(), 0u);
        // Every checker lowers the bit it raised, and none runs any more.
        EXPECT_EQ(theApp.m_dwStatus.load() & TS_CHECKING, 0u);
    }
    EXPECT_EQ(CountTextsStartingWith("Alpha ERR"), 0u);
    ExpectReportedOnceAndOnTheServer(server);
    EXPECT_LE(server.Messages().size(), SentBodies().size() + CountTexts(ABORTED));
}

TEST_F(RacesTest, OnCloseWhileQuitIsAnsweredStillReportsTheAcceptedMessage)
{
    StopWhileQuitIsAnswered([this] { CloseWithinBounds(); });
}

TEST_F(RacesTest, CancelWhileQuitIsAnsweredReportsTheAcceptedMessageBeforeTheAbort)
{
    StopWhileQuitIsAnswered([this] {
        host.Api().Cancel();
        ASSERT_TRUE(host.WaitForText(ABORTED));
        ASSERT_TRUE(WaitForIdleWorkers());
        const auto texts = host.Texts();
        EXPECT_EQ(Lines(texts.end() - 2, texts.end()), (Lines{"Alpha message sent", ABORTED}));
    });
}

}  // namespace
