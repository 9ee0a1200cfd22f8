#include "workers_fixture.h"

#include "mail/message_record.h"
#include "platform/resources.h"
#include "plugin/transport_app.h"
#include "settings/game_settings.h"
#include "workers/control_events.h"
#include "workers/outbox.h"
#include "workers/worker_slot.h"

#include <algorithm>

void WorkersTest::SetUp()
{
    SetResourceLanguage(ResourceLanguage::English);
    for (CEvent *event : {&g_eventQuit, &g_eventSend, &g_eventCheck, &g_eventCancel, &g_eventAbort})
        event->ResetEvent();
    g_arrOutbox.Clear();
    g_currentMessage.RemoveAll();
    g_currentMessage.m_error.Empty();
    theApp.m_dwStatus = 0;
    g_dwDispatchTimeout = 60000;
    g_dwDispatcherStopTimeout = 5000;
    g_dwWorkerStopTimeout = 5000;
}

void WorkersTest::TearDown()
{
    mailer.Release();
    host.Api().OnClose();
    EXPECT_FALSE(g_hSenderThread.IsRunning() || g_hCheckerThread.IsRunning() || g_hCancellerThread.IsRunning());
    theApp.m_hwndHost = nullptr;
}

void WorkersTest::Open(const char *game)
{
    CString name(game);
    host.Api().Init(name);
}

void WorkersTest::CloseGame(const char *game)
{
    CString name(game);
    host.Api().Close(name);
}

void WorkersTest::SendMessage(const char *game, const std::string &body)
{
    SendMap(MakeMap({{KEY_GAME_NAME, game}, {KEY_BODY, body.c_str()}}));
}

bool WorkersTest::WaitForCalls(std::size_t count)
{
    return host.PumpUntil([&] { return mailer.Calls() >= count; });
}

std::size_t WorkersTest::Count(WPARAM kind) const
{
    const auto &all = host.Notifications();
    return static_cast<std::size_t>(
        std::count_if(all.begin(), all.end(), [kind](const Notification &each) { return each.kind == kind; }));
}

bool WorkersTest::WaitForSent(std::size_t count)
{
    return host.PumpUntil([&] { return Count(MORV_TN_SENT) >= count; });
}

bool WorkersTest::WaitForTexts(std::size_t count)
{
    return host.PumpUntil([&] { return Count(MORV_TN_TEXT) >= count; });
}

bool WorkersTest::WaitForIdleWorkers()
{
    return host.PumpUntil([] {
        return !g_hSenderThread.IsRunning() && !g_hCheckerThread.IsRunning() && !g_hCancellerThread.IsRunning();
    });
}
