// The host channel of the application object, white-box.
#include "app/transport_app.h"

#include "platform/host_window.h"
#include "resources/plugin_resources.h"
#include "resources/resource.h"
#include "resources/resource_texts.h"
#include "support/linked_plugin_api.h"
#include "support/test_host.h"

#include <gtest/gtest.h>

#include <span>
#include <thread>
#include <vector>

namespace {

class TransportAppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetResourceLanguage(ResourceLanguage::English);
        theApp.m_hwndHost = host.Window();
        theApp.m_nHostMessage = TestHost::HOST_MESSAGE;
    }
    void TearDown() override { theApp.m_hwndHost = nullptr; }

    TestHost host{LinkedPluginApi()};
};

TEST_F(TransportAppTest, LoadTextSwitchesToThePluginAndRestoresTheCallersHandle)
{
#if defined(_WIN32)
    const HINSTANCE hostModule = GetModuleHandleA("kernel32.dll");
#else
    const ResourceModule hostResources{"host", {}, {}, {}};
    const HINSTANCE hostModule = &hostResources;
#endif
    AfxSetResourceHandle(hostModule);
    EXPECT_EQ(theApp.LoadText(IDS_READY), "Ready");
    EXPECT_EQ(AfxGetResourceHandle(), hostModule);
    EXPECT_EQ(theApp.LoadText(5), "");  // no entry
    EXPECT_EQ(AfxGetResourceHandle(), hostModule);
    AfxSetResourceHandle(nullptr);
}

TEST_F(TransportAppTest, StringTableHoldsBothLanguages)
{
    EXPECT_EQ(theApp.LoadText(IDS_INIT_FAILED), "Intialization failed. (Error=%lu)");
    EXPECT_EQ(theApp.LoadText(14), "");
    SetResourceLanguage(ResourceLanguage::Russian);
    EXPECT_EQ(theApp.LoadText(IDS_INIT_FAILED), "Intialization failed. (Error=%lu)");
    EXPECT_EQ(theApp.LoadText(IDS_SENDING), "\xEE\xF2\xF1\xFB\xEB\xE0\xE5\xEC");
    EXPECT_EQ(theApp.FormatText(IDS_ERROR, 5UL), "\xCE\xF8\xE8\xE1\xEA\xE0=5");
}

// Every text of the resource script, in both languages, is what the built
// plug-in loads: compiled in here, a string table resource on Windows.
TEST_F(TransportAppTest, LoadsEveryTextOfTheResourceScript)
{
    const struct {
        ResourceLanguage language;
        std::span<const ResourceText> texts;
    } tables[] = {{ResourceLanguage::English, RESOURCE_TEXTS_ENGLISH}, {ResourceLanguage::Russian, RESOURCE_TEXTS_RUSSIAN}};
    for (const auto &table : tables) {
        SetResourceLanguage(table.language);
        ASSERT_FALSE(table.texts.empty());
        for (const ResourceText &expected : table.texts)
            EXPECT_EQ(theApp.LoadText(expected.id), expected.text) << "id " << expected.id;
        EXPECT_EQ(theApp.LoadText(5), "");  // no entry
    }
}

TEST_F(TransportAppTest, StatusUpdatesThatChangeNothingAreStillSent)
{
    const DWORD before = theApp.m_dwStatus;
    theApp.NotifyStatus(0x00, before & 0x0F);
    theApp.NotifyStatus(0x00, before & 0x0F);
    EXPECT_EQ(host.Statuses(), (std::vector<DWORD>{before, before}));
}

TEST_F(TransportAppTest, ConcurrentStatusUpdatesLoseNoBits)
{
    theApp.NotifyStatus(0x0F, 0x00);
    host.ClearNotifications();
    std::vector<std::thread> updaters;
    for (DWORD bit : {TS_SENDING, TS_CHECKING, TS_UNSENT, TS_BUSY})
        updaters.emplace_back([bit] {
            for (int i = 0; i < 200; ++i)
                theApp.NotifyStatus(0x00, bit);
        });
    ASSERT_TRUE(host.WaitForCount(800));
    for (auto &updater : updaters)
        updater.join();
    EXPECT_EQ(theApp.m_dwStatus, 0x0Fu);
    theApp.NotifyStatus(0x0F, 0x00);
}

}  // namespace
