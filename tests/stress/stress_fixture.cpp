#include "stress_fixture.h"

#include "platform/resources.h"
#include "platform/ticks.h"
#include "support/plugin_globals.h"
#include "workers/control_events.h"
#include "workers/outbox.h"
#include "workers/worker_slot.h"

#include <algorithm>
#include <set>

void StressTest::SetUp()
{
    SetResourceLanguage(ResourceLanguage::English);
    ResetPluginGlobals();
}

void StressTest::TearDown()
{
    CloseWithinBounds();
    EXPECT_FALSE(AnyWorkerRuns());
    ResetPluginGlobals();
}

void StressTest::OpenAlpha(const LoopbackSmtpServer &to)
{
    const std::string address = to.Address();
    RestoreGame(host.Api(), "Alpha",
                MakeMap({{"From", "player@example.org"}, {"To", "server@example.org"}, {"Subject", "Turn"},
                         {"ServerSMTP", address.c_str()}, {"Mailer", "0"}}));
}

void StressTest::SendTurn(const std::string &body)
{
    CMapStringToString message = MakeMap({{"GameName", "Alpha"}, {"Body", body.c_str()}});
    host.Api().Send(message);
}

void StressTest::CloseWithinBounds()
{
    const DWORD start = GetTickCount();
    host.Api().OnClose();
    EXPECT_LT(GetTickCount() - start, CLOSE_BOUND_MS);
    EXPECT_FALSE(AnyWorkerRuns());
}

std::vector<std::string> StressTest::SentBodies() const
{
    std::vector<std::string> bodies;
    for (const CMapStringToString &record : host.SentRecords()) {
        CString body;
        record.Lookup("Body", body);
        bodies.push_back(body.str());
    }
    return bodies;
}

std::size_t StressTest::CountTexts(const std::string &text) const
{
    const auto texts = host.Texts();
    return static_cast<std::size_t>(std::count(texts.begin(), texts.end(), text));
}

std::size_t StressTest::CountTextsStartingWith(const std::string &prefix) const
{
    const auto texts = host.Texts();
    return static_cast<std::size_t>(std::count_if(
        texts.begin(), texts.end(), [&](const std::string &text) { return text.rfind(prefix, 0) == 0; }));
}

bool StressTest::WaitForIdleWorkers()
{
    return host.PumpUntil([] { return !AnyWorkerRuns(); });
}

bool StressTest::AnyWorkerRuns()
{
    return g_hSenderThread.IsRunning() || g_hCheckerThread.IsRunning() || g_hCancellerThread.IsRunning();
}

std::size_t StressTest::Queued() { return g_arrOutbox.GetCount(); }

void StressTest::ExpectReportedOnceAndOnTheServer(const LoopbackSmtpServer &from) const
{
    const std::vector<std::string> bodies = SentBodies();
    EXPECT_EQ(std::set<std::string>(bodies.begin(), bodies.end()).size(), bodies.size());
    const std::vector<std::string> messages = from.Messages();
    const std::multiset<std::string> arrived(messages.begin(), messages.end());
    for (const std::string &body : bodies)
        EXPECT_EQ(arrived.count(ContentOf(body)), 1u) << body;
}

std::string ContentOf(const std::string &body)
{
    return "From: player@example.org\r\nTo: server@example.org\r\nSubject: Turn\r\n\r\n" + body + "\r\n";
}
