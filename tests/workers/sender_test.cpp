// The sender's loop: order, merging, outcomes and the silent drop.
#include "workers_fixture.h"

#include "app/game_registry.h"
#include "app/transport_app.h"
#include "settings/game_settings.h"
#include "workers/control_events.h"
#include "workers/outbox.h"

#include <mutex>

namespace {

class SenderTest : public WorkersTest {};

TEST_F(SenderTest, OutcomesAreReportedInFullNewestFirst)
{
    mailer.SetRule("bad", MailerRule::Fail);
    Open("Alpha");
    SendMessage("Alpha", "good");
    SendMessage("Alpha", "bad");
    host.Load();
    ASSERT_TRUE(WaitFor(MORV_TN_SENT, 1));
    Lines expected{"text Ready", "text Alpha sending message", "status 0x0D", "text Alpha ERR: 550 refused",
                   "status 0x04"};
    for (const std::string &line : DeliveredLines("good"))
        expected.push_back(line);
    EXPECT_EQ(host.Transcript(), expected);
}

// A host that pumps while it handles a notification sees each of the
// sender's notifications alone, never one inside another, and the status
// word changes only as its own notification goes out: every text is
// handled while the word is still what the status before it said.
TEST_F(SenderTest, HostThatPumpsInsideItsWindowProcedureSeesOneNotificationAtATime)
{
    mailer.SetRule("bad", MailerRule::Fail);
    Open("Alpha");
    SendMessage("Alpha", "good");
    SendMessage("Alpha", "bad");
    // "Ready" is handled inside OnLoad; a pump there could rightly run the
    // sender's first text, which another thread sent.
    host.Load();
    int depth = 0;
    Lines nested;
    std::vector<DWORD> wordAtEachText;
    host.OnNotification([&](const HostNotification &notification) {
        if (depth > 0)
            nested.push_back(host.Transcript().back());
        if (notification.kind == MORV_TN_TEXT)
            wordAtEachText.push_back(theApp.m_dwStatus.load());
        ++depth;
        host.Pump();
        --depth;
    });
    ASSERT_TRUE(WaitFor(MORV_TN_SENT, 1));
    EXPECT_EQ(nested, Lines{});
    EXPECT_EQ(host.Transcript().size(), 10u);
    EXPECT_EQ(wordAtEachText, (std::vector<DWORD>{0x00, 0x0D, 0x04, 0x0D}));
}

TEST_F(SenderTest, MessageForAGameNotOpenIsDroppedSilentlyAndTheNextIsDelivered)
{
    mailer.SetRule("held", MailerRule::HoldThenSucceed);
    Open("Alpha");
    Open("Beta");
    SendMessage("Alpha", "held");
    host.Load();
    ASSERT_TRUE(WaitForCalls(1));
    SendMessage("Alpha", "last");
    SendMessage("Ghost", "never opened");
    SendMessage("Beta", "closed meanwhile");
    CString beta("Beta");
    host.Api().Close(beta);
    mailer.Release();
    ASSERT_TRUE(WaitFor(MORV_TN_SENT, 2));
    ASSERT_TRUE(WaitForIdleWorkers());
    EXPECT_EQ(mailer.Bodies(), (Lines{"held", "last"}));
    EXPECT_EQ(host.Texts(), (Lines{"Ready", "Alpha sending message", "Game Beta closed", "Alpha message sent",
                                   "Alpha sending message", "Alpha message sent"}));
}

TEST_F(SenderTest, SettingsWinAndKeysOfEarlierMessagesStay)
{
    Open("Alpha");
    {
        std::lock_guard<CMutex> lock(g_mutexGames);
        FindGame("Alpha")->SetAt(KEY_TO, "server@game.example");
        FindGame("Alpha")->SetAt("Restored", "kept as is");
    }
    host.Load();
    SendMap(MakeMap({{KEY_GAME_NAME, "Alpha"}, {KEY_BODY, "one"}, {KEY_SUBJECT, "Turn 1"}, {KEY_TO, "me@x"}}));
    ASSERT_TRUE(WaitFor(MORV_TN_SENT, 1));
    SendMap(MakeMap({{KEY_BODY, "two"}}));
    ASSERT_TRUE(WaitFor(MORV_TN_SENT, 2));
    EXPECT_EQ(host.SentRecords().at(1),
              MakeMap({{KEY_GAME_NAME, "Alpha"}, {KEY_BODY, "two"}, {KEY_SUBJECT, "Turn 1"},
                       {KEY_TO, "server@game.example"}, {"Restored", "kept as is"}, {KEY_MAILER, ""}}));
}

}  // namespace

namespace {

// A stop request that arrives while the host takes the outcome of a message
// (OnClose or Cancel on another path) must not leave that message queued:
// the next OnLoad would deliver and report it a second time.
TEST_F(SenderTest, MessageReportedSentLeavesTheQueueWhenAStopComesDuringTheReport)
{
    Open("Alpha");
    host.OnNotification([](const HostNotification &notification) {
        if (notification.kind == MORV_TN_SENT)
            g_eventAbort.SetEvent();
    });
    SendMessage("Alpha", "turn");
    host.Load();
    ASSERT_TRUE(WaitFor(MORV_TN_SENT, 1));
    ASSERT_TRUE(WaitForIdleWorkers());
    EXPECT_EQ(g_arrOutbox.GetCount(), 0u);
}

}  // namespace
