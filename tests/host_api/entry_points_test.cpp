// The entry points of the real shared library, loaded as a host loads it.
#include "platform/module_version.h"
#include "platform/resources.h"
#include "support/plugin_api.h"
#include "support/test_host.h"

#include <gtest/gtest.h>

namespace {

class EntryPointsTest : public ::testing::Test {
protected:
    void SetUp() override { SetResourceLanguage(ResourceLanguage::English); }

    PluginLibrary library;
    TestHost host{library.Api()};
};

TEST_F(EntryPointsTest, OnLoadReportsReady)
{
    host.Load();
    ASSERT_TRUE(host.WaitForText("Ready"));
    host.Api().OnClose();
}

TEST_F(EntryPointsTest, InitTwiceReportsOnceAndCloseReportsClosed)
{
    host.Load();
    CString alpha("Alpha");
    host.Api().Init(alpha);
    host.Api().Init(alpha);
    host.Api().Close(alpha);
    host.Api().Close(alpha);
    host.Pump();
    const std::vector<std::string> expected{"Ready", "Game Alpha intializing", "Game Alpha closed"};
    EXPECT_EQ(host.Texts(), expected);
    host.Api().OnClose();
}

TEST_F(EntryPointsTest, NamesDifferingInCaseAreTwoGames)
{
    host.Load();
    CString lower("alpha"), upper("ALPHA");
    host.Api().Init(lower);
    host.Api().Init(upper);
    host.Pump();
    const std::vector<std::string> expected{"Ready", "Game alpha intializing", "Game ALPHA intializing"};
    EXPECT_EQ(host.Texts(), expected);
    host.Api().OnClose();
}

TEST_F(EntryPointsTest, CallsBeforeOnLoadNotifyNobody)
{
    CString game("Early");
    host.Api().Init(game);
    host.Api().Close(game);
    host.Api().OnClose();
    EXPECT_EQ(host.Api().PrepareExit(), 0UL);
    host.Pump();
    EXPECT_TRUE(host.Notifications().empty());
}

TEST_F(EntryPointsTest, RussianTextsAreWindows1251)
{
    SetResourceLanguage(ResourceLanguage::Russian);
    host.Load();
    CString game("Alpha");
    host.Api().Init(game);
    host.Pump();
    ASSERT_EQ(host.Texts().size(), 2u);
    EXPECT_EQ(host.Texts()[0], "\xC2\xF1\xE5\xE3\xE4\xE0 \xE3\xEE\xF2\xEE\xE2");
    EXPECT_EQ(host.Texts()[1], "\xC8\xE3\xF0\xE0 Alpha \xE8\xED\xE8\xF6\xE8\xE0\xEB\xE8\xE7\xE8\xF0\xEE\xE2\xE0\xED\xE0");
    host.Api().OnClose();
}

}  // namespace

namespace {

TEST(PluginLibraryTest, CarriesItsVersionBlock)
{
    PluginLibrary library;
    EXPECT_EQ(GetModuleVersion(reinterpret_cast<const void *>(library.Api().OnLoad)), MORV_VERSION);
    EXPECT_EQ(GetModuleVersion(nullptr), "");
}

}  // namespace
