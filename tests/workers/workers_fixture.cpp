#include "workers_fixture.h"

#include "mail/message_record.h"
#include "platform/resources.h"
#include "settings/game_settings.h"
#include "support/plugin_globals.h"
#include "workers/control_events.h"
#include "workers/outbox.h"
#include "workers/worker_slot.h"

#include <algorithm>

void WorkersTest::SetUp()
{
    SetResourceLanguage(ResourceLanguage::English);
    ResetPluginGlobals();
}

void WorkersTest::TearDown()
{
    mailer.Release();
    host.Api().OnClose();
    EXPECT_TRUE(WaitForIdleWorkers());
    ResetPluginGlobals();
}

void WorkersTest::Open(const char *game)
{
    CString name(game);
    host.Api().Init(name);
}

void WorkersTest::SendMessage(const char *game, const std::string &body)
{
    SendMap(MakeMap({{KEY_GAME_NAME, game}, {KEY_BODY, body.c_str()}}));
}

std::size_t WorkersTest::Count(WPARAM kind) const
{
    const auto &all = host.Notifications();
    return static_cast<std::size_t>(
        std::count_if(all.begin(), all.end(), [kind](const HostNotification &each) { return each.kind == kind; }));
}

bool WorkersTest::WaitFor(WPARAM kind, std::size_t count, DWORD timeoutMs)
{
    return host.PumpUntil([&] { return Count(kind) >= count; }, timeoutMs);
}

bool WorkersTest::WaitForCalls(std::size_t count)
{
    return host.PumpUntil([&] { return mailer.Bodies().size() >= count; });
}

void WorkersTest::StartHeldDelivery(MailerRule rule)
{
    mailer.SetRule("long", rule);
    Open("Alpha");
    host.Load();
    SendMessage("Alpha", "long");
    ASSERT_TRUE(WaitForCalls(1));
}

bool WorkersTest::WaitForIdleWorkers()
{
    return host.PumpUntil([] { return !AnyWorkerRuns(); });
}

bool WorkersTest::AnyWorkerRuns()
{
    return g_hSenderThread.IsRunning() || g_hCheckerThread.IsRunning() || g_hCancellerThread.IsRunning();
}

Lines DeliveredLines(const std::string &body)
{
    return {"text Alpha sending message", "status 0x0D", "text Alpha message sent", "status 0x00", "sent " + body};
}
