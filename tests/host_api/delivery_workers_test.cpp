// The delivery workers through the real shared library. Until a mailer can
// succeed here, messages choose the FILE mailer or an unknown number, which
// fail with texts of their own.
#include "platform/resources.h"
#include "platform/worker_thread.h"
#include "support/plugin_api.h"
#include "support/test_host.h"
#include "support/thread_start_failures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

class DeliveryWorkersTest : public ::testing::Test {
protected:
    void SetUp() override { SetResourceLanguage(ResourceLanguage::English); }
    void TearDown() override { host.Api().OnClose(); }

    void Open(const char *game)
    {
        CString name(game);
        host.Api().Init(name);
    }

    void Send(const char *game, const char *mailer)
    {
        CMapStringToString message = MakeMap({{"GameName", game}, {"Body", "turn"}, {"Mailer", mailer}});
        host.Api().Send(message);
    }

    bool WaitForStatuses(std::size_t count)
    {
        return host.PumpUntil([&] { return host.Statuses().size() >= count; });
    }

    PluginLibrary library;
    TestHost host{library.Api()};
};

TEST_F(DeliveryWorkersTest, QueuedMessagesGoNewestFirstAndOneForAGameNotOpenIsDroppedSilently)
{
    Open("A");
    Open("B");
    Send("A", "2");
    Send("Ghost", "2");
    Send("B", "2");
    host.Load();
    ASSERT_TRUE(WaitForStatuses(4));
    EXPECT_EQ(host.Transcript(),
              (Lines{"text Ready", "text B sending message", "status 0x0D", "text B No FILE mailer found",
                     "status 0x04", "text A sending message", "status 0x0D", "text A No FILE mailer found",
                     "status 0x04"}));
}

TEST_F(DeliveryWorkersTest, UnknownMailerNumberFailsWithItsOwnTextNotAnEarlierOne)
{
    Open("Alpha");
    Send("Alpha", "7");
    Send("Alpha", "2");
    host.Load();
    ASSERT_TRUE(WaitForStatuses(4));
    EXPECT_EQ(host.Texts(), (Lines{"Ready", "Alpha sending message", "Alpha No FILE mailer found",
                                   "Alpha sending message", "Alpha No mailer 7 found"}));
}

TEST_F(DeliveryWorkersTest, CheckAndCancelBeforeOnLoadAreActedOnAtTheFirstWait)
{
    host.Api().Check();
    host.Api().Cancel();
    host.Load();
    ASSERT_TRUE(host.WaitForText("Abort by user"));
    ASSERT_TRUE(WaitForStatuses(3));
    const std::vector<DWORD> words = host.Statuses();
    EXPECT_NE(std::find(words.begin(), words.end(), MORV_TS_CHECKING), words.end());
}

TEST_F(DeliveryWorkersTest, DispatcherThatCannotStartIsReported)
{
    const ScopedThreadStartFailures refused(1, 11);
    host.Load();
    EXPECT_EQ(host.Transcript(), (Lines{"text Intialization failed. (Error=11)"}));
}

}  // namespace
