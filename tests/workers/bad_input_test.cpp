// Messages a careless or busy host may send: missing keys, a huge body,
// thousands at once, several threads at once.
#include "workers_fixture.h"

#include "settings/game_settings.h"

#include <algorithm>
#include <thread>

namespace {

class BadInputTest : public WorkersTest {};

TEST_F(BadInputTest, FirstMessageWithoutGameNameIsDroppedSilently)
{
    Open("Alpha");
    SendMessage("Alpha", "named");
    SendMap(MakeMap({{KEY_BODY, "nameless"}}));
    host.Load();
    ASSERT_TRUE(WaitFor(MORV_TN_SENT, 1));
    ASSERT_TRUE(WaitForIdleWorkers());
    EXPECT_EQ(mailer.Bodies(), (Lines{"named"}));
    EXPECT_EQ(host.Transcript().size(), 1 + DeliveredLines("named").size());
}

TEST_F(BadInputTest, HugeBodyArrivesWhole)
{
    std::string body(32u << 20, 'x');
    body.replace(body.size() / 2, 5, "\r\n.\r\n");
    Open("Alpha");
    host.Load();
    SendMessage("Alpha", body);
    ASSERT_TRUE(WaitFor(MORV_TN_SENT, 1));
    CString received;
    host.Notifications().back().record.Lookup(KEY_BODY, received);
    EXPECT_TRUE(received.str() == body);
}

TEST_F(BadInputTest, ThousandsSentDuringOneDeliveryAreAllDeliveredNewestFirst)
{
    constexpr int COUNT = 3000;
    mailer.SetRule("0", MailerRule::HoldThenSucceed);
    Open("Alpha");
    host.Load();
    SendMessage("Alpha", "0");
    ASSERT_TRUE(WaitForCalls(1));
    Lines expected{"0"};
    for (int i = 1; i <= COUNT; ++i) {
        SendMessage("Alpha", std::to_string(i));
        expected.insert(expected.begin() + 1, std::to_string(i));
    }
    mailer.Release();
    // Some 15000 notifications cross to the host's thread; under Wine each
    // crossing takes about a millisecond.
    ASSERT_TRUE(WaitFor(MORV_TN_SENT, COUNT + 1, 120000));
    EXPECT_EQ(mailer.Bodies(), expected);
}

TEST_F(BadInputTest, SendFromSeveralThreadsAtOnceLosesNothing)
{
    constexpr int THREADS = 4;
    constexpr int EACH = 250;
    Open("Alpha");
    host.Load();
    Lines expected;
    std::vector<std::thread> senders;
    for (int t = 0; t < THREADS; ++t) {
        for (int i = 0; i < EACH; ++i)
            expected.push_back(std::to_string(t) + "-" + std::to_string(i));
        senders.emplace_back([this, t] {
            for (int i = 0; i < EACH; ++i)
                SendMessage("Alpha", std::to_string(t) + "-" + std::to_string(i));
        });
    }
    for (std::thread &sender : senders)
        sender.join();
    ASSERT_TRUE(WaitFor(MORV_TN_SENT, THREADS * EACH));
    Lines bodies = mailer.Bodies();
    std::sort(bodies.begin(), bodies.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(bodies, expected);
}

}  // namespace
