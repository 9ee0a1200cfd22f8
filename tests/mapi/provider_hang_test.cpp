// A host that closes and unloads the real plug-in while a call into the
// Simple MAPI provider hangs: OnClose makes the sender give the call up, and
// the process goes on when the call later returns into the plug-in's code.
#include "fake_calls.h"
#include "fake_mapi_state.h"
#include "mapi_environment.h"
#include "platform/resources.h"
#include "support/plugin_api.h"
#include "support/test_host.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

constexpr DWORD WAIT_MS = TestHost::DEFAULT_WAIT_MS;

// Sends one message for Orion by Simple MAPI and returns once the
// provider holds it in MAPISendMail.
void SendUntilTheProviderHangs(TestHost &host)
{
    host.Load();
    RestoreGame(host.Api(), "Orion", MakeMap({{"Mailer", "1"}, {"To", "server@game.example"}}));
    CMapStringToString message = MakeMap({{"GameName", "Orion"}, {"Body", "orders"}});
    host.Api().Send(message);
    ASSERT_TRUE(host.PumpUntil([] { return FakeMapiState::Instance().WaitUntilHeld(0); }));
}

TEST(ProviderHangTest, HostThatUnloadsThePluginWhileAProviderCallHangsKeepsRunning)
{
    SetResourceLanguage(ResourceLanguage::English);
    MapiEnvironment env;
    env.InstallProvider(FAKE_MAPI_DIR);
    FakeMapiState &fake = FakeMapiState::Instance();
    fake.Hold(FakeMapiFunction::SendMail);
    std::optional<PluginLibrary> library(std::in_place);
    {
        TestHost host(library->Api());
        SendUntilTheProviderHangs(host);
        host.Api().OnClose();
        // Given up on the abort: the session is closed while the call hangs,
        // and the provider stays loaded for it.
        ASSERT_TRUE(fake.WaitForCalls(5, WAIT_MS));
        EXPECT_EQ(fake.Calls().back(), fake_calls::Logoff());
        EXPECT_EQ(fake.Unloads(), 0);
        EXPECT_FALSE(host.WaitForText("Orion message sent", 0));
    }
    library.reset();
    EXPECT_TRUE(IsPluginMapped());
    fake.Release();
    EXPECT_TRUE(fake.WaitForUnloads(1, WAIT_MS));
}

}  // namespace
