// The sender's loop: order, merging, outcomes and the silent drop.
#include "workers_fixture.h"

#include "plugin/game_registry.h"
#include "settings/game_settings.h"
#include "workers/outbox.h"

#include <mutex>

namespace {

using Lines = std::vector<std::string>;

const Lines SENT_OK{"text Alpha sending message", "status 0x0D", "text Alpha message sent", "status 0x00"};

Lines Concat(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const Lines &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Lines Delivered(const std::string &body) { return Concat({SENT_OK, {"sent " + body}}); }

class SenderTest : public WorkersTest {};

TEST_F(SenderTest, SuccessReportsTextsStatusWordsAndTheRecord)
{
    host.Load();
    Open("Alpha");
    SendMessage("Alpha", "hello");
    ASSERT_TRUE(WaitForSent(1));
    EXPECT_EQ(host.Transcript(), Concat({{"text Ready", "text Game Alpha intializing"}, Delivered("hello")}));
}

TEST_F(SenderTest, FailureReportsTheMailersTextAndLeavesOnlyUnsentThenGoesOn)
{
    mailer.SetRule("bad", FakeMailer::FAIL);
    Open("Alpha");
    SendMessage("Alpha", "good");
    SendMessage("Alpha", "bad");
    host.Load();
    ASSERT_TRUE(WaitForSent(1));
    const Lines failed{"text Alpha sending message", "status 0x0D", "text Alpha ERR: 550 refused", "status 0x04"};
    EXPECT_EQ(host.Transcript(), Concat({{"text Ready"}, failed, Delivered("good")}));
}

TEST_F(SenderTest, MessagesQueuedBeforeTheSenderRunsGoNewestFirst)
{
    Open("Alpha");
    SendMessage("Alpha", "A");
    SendMessage("Alpha", "B");
    host.Load();
    ASSERT_TRUE(WaitForSent(2));
    EXPECT_EQ(mailer.Bodies(), (Lines{"B", "A"}));
}

TEST_F(SenderTest, SendsDuringOneDeliveryAreAllTakenNewestFirstByTheSameSender)
{
    mailer.SetRule("first", FakeMailer::HOLD);
    host.Load();
    Open("Alpha");
    SendMessage("Alpha", "first");
    ASSERT_TRUE(WaitForCalls(1));
    SendMessage("Alpha", "second");
    SendMessage("Alpha", "third");
    mailer.Release();
    ASSERT_TRUE(WaitForSent(3));
    EXPECT_EQ(host.Transcript(), Concat({{"text Ready", "text Game Alpha intializing"}, Delivered("first"),
                                         Delivered("third"), Delivered("second")}));
}

TEST_F(SenderTest, MessageForAGameNotOpenIsDroppedSilentlyAndTheNextIsDelivered)
{
    mailer.SetRule("held", FakeMailer::HOLD);
    host.Load();
    Open("Alpha");
    Open("Beta");
    SendMessage("Alpha", "held");
    ASSERT_TRUE(WaitForCalls(1));
    SendMessage("Alpha", "last");
    SendMessage("Ghost", "never opened");
    SendMessage("Beta", "closed meanwhile");
    CloseGame("Beta");
    mailer.Release();
    ASSERT_TRUE(WaitForSent(2));
    ASSERT_TRUE(WaitForIdleWorkers());
    EXPECT_EQ(mailer.Bodies(), (Lines{"held", "last"}));
    EXPECT_EQ(host.Transcript(),
              Concat({{"text Ready", "text Game Alpha intializing", "text Game Beta intializing"}, {SENT_OK.front()},
                      {"status 0x0D", "text Game Beta closed", "text Alpha message sent", "status 0x00", "sent held"},
                      Delivered("last")}));
    EXPECT_EQ(g_arrOutbox.GetCount(), 0u);
}

TEST_F(SenderTest, SettingsWinOverTheMessageAndEveryPairReachesTheHost)
{
    Open("Alpha");
    {
        std::lock_guard<CMutex> lock(g_mutexGames);
        GameSettings *settings = FindGame("Alpha");
        settings->SetAt(KEY_TO, "server@game.example");
        settings->SetAt("Restored", "kept as is");
    }
    host.Load();
    SendMap(MakeMap({{KEY_GAME_NAME, "Alpha"}, {KEY_BODY, "b"}, {KEY_TO, "player@own.example"}, {"Turn", "7"}}));
    ASSERT_TRUE(WaitForSent(1));
    CMapStringToString expected = MakeMap({{KEY_GAME_NAME, "Alpha"}, {KEY_BODY, "b"}, {KEY_TO, "server@game.example"},
                                           {"Turn", "7"}, {"Restored", "kept as is"}, {KEY_MAILER, ""}});
    EXPECT_EQ(host.SentRecords().at(0), expected);
}

TEST_F(SenderTest, KeysOfEarlierMessagesStayInTheWorkingRecord)
{
    Open("Alpha");
    host.Load();
    SendMap(MakeMap({{KEY_GAME_NAME, "Alpha"}, {KEY_BODY, "one"}, {KEY_SUBJECT, "Turn 1"}}));
    ASSERT_TRUE(WaitForSent(1));
    SendMap(MakeMap({{KEY_BODY, "two"}}));
    ASSERT_TRUE(WaitForSent(2));
    CString game, subject;
    const CMapStringToString second = host.SentRecords().at(1);
    second.Lookup(KEY_GAME_NAME, game);
    second.Lookup(KEY_SUBJECT, subject);
    EXPECT_EQ(game, "Alpha");
    EXPECT_EQ(subject, "Turn 1");
}

}  // namespace
