#include "bench/e2e/plugin_client.h"

#include "bench/e2e/bench_turn.h"
#include "host/session/outcome_tracker.h"
#include "host/session/plugin_host.h"
#include "host/session/plugin_module.h"

#include <cstdio>
#include <fstream>

namespace {

constexpr DWORD ALL_SETTLED_LIMIT_MS = 600000;

// A status line of /proc/self/status ("VmHWM", "VmRSS") in KiB.
long StatusKib(const std::string &name)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.compare(0, name.size() + 1, name + ":") == 0)
            return std::stol(line.substr(name.size() + 1));
    }
    return -1;
}

// The host's one copy of the body moves into the message.
CMapStringToString TurnMessage(const std::string &server, std::string body)
{
    CMapStringToString message;
    message.SetAt("GameName", BENCH_GAME);
    message.SetAt("ServerSMTP", CString(server));
    message.SetAt("From", BENCH_FROM);
    message.SetAt("To", BENCH_TO);
    message.SetAt("Subject", BENCH_SUBJECT);
    message["Body"] = CString(std::move(body));
    return message;
}

// Hands the messages that `make(i)` builds to Send, then pumps until each
// has its outcome.
template <typename Make>
bool SendAndSettle(const std::string &plugin, int messages, Make make)
{
    const PluginModule module(plugin.empty() ? PluginModule::DefaultPath() : std::filesystem::path(plugin));
    OutcomeTracker tracker;
    PluginHost host(module.Api(), [&](const HostNotification &notification) { tracker.Observe(notification); });
    CString game(BENCH_GAME);
    module.Api().Init(game);
    for (int i = 0; i < messages; ++i) {
        CMapStringToString message = make(i);
        module.Api().Send(message);
    }
    const bool settled = host.PumpUntil([&] { return tracker.Settled(messages); }, ALL_SETTLED_LIMIT_MS);
    if (!settled || tracker.Failed() != 0)
        std::fprintf(stderr, "plug-in delivery failed: %s\n", tracker.LastFailureText().c_str());
    module.Api().Close(game);
    return settled && tracker.Failed() == 0;
}

}  // namespace

bool RunPluginClient(const std::string &plugin, const std::string &server, int messages, std::size_t bodyBytes)
{
    const std::string body = TurnBody(bodyBytes);
    return SendAndSettle(plugin, messages, [&](int) { return TurnMessage(server, body); });
}

bool RunBigTurn(const std::string &plugin, const std::string &server, std::size_t bodyBytes)
{
    long before = 0;
    const bool ok = SendAndSettle(plugin, 1, [&](int) {
        before = StatusKib("VmRSS");
        return TurnMessage(server, TurnBody(bodyBytes, true));
    });
    std::printf("%ld %ld\n", StatusKib("VmHWM"), before);
    return ok;
}
