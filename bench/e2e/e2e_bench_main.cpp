// morv-bench-e2e [--messages N] [--plugin PATH]: sends N messages one after
// the other through the real plug-in to the host's loopback SMTP sink, then
// the same N with a plain socket client that only does the round trips, and
// prints messages per second, the median time per message and their ratio.
#include "bench/e2e/plain_smtp_client.h"
#include "host/loopback_smtp_server.h"
#include "host/outcome_tracker.h"
#include "host/plugin_host.h"
#include "host/plugin_module.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double TARGET_RATIO = 1.5;
constexpr const char *FROM = "player@localhost";
constexpr const char *TO = "server@localhost";
constexpr DWORD MESSAGE_LIMIT_MS = 30000;

struct Options {
    int messages = 1000;
    std::string plugin;
};

struct Timings {
    std::vector<double> microseconds;  // per message
    double totalSeconds = 0;
};

Options ParseOptions(int argc, char **argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--messages") == 0)
            options.messages = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--plugin") == 0)
            options.plugin = argv[i + 1];
    }
    return options;
}

// Runs `one` N times; false as soon as one fails.
bool Measure(int count, const std::function<bool(int)> &one, Timings &timings)
{
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        const auto before = Clock::now();
        if (!one(i))
            return false;
        timings.microseconds.push_back(std::chrono::duration<double, std::micro>(Clock::now() - before).count());
    }
    timings.totalSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    return true;
}

double Median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

void Report(const char *name, const Timings &timings)
{
    std::printf("%-22s %8.0f messages/s   median %8.1f us/message\n", name,
                static_cast<double>(timings.microseconds.size()) / timings.totalSeconds, Median(timings.microseconds));
}

CMapStringToString BenchMessage(const LoopbackSmtpServer &sink, int index)
{
    CMapStringToString message;
    message.SetAt("GameName", "Bench");
    message.SetAt("ServerSMTP", CString(sink.Address()));
    message.SetAt("From", FROM);
    message.SetAt("To", TO);
    message.SetAt("Subject", "\xD5\xEE\xE4");
    message.SetAt("Body", CString("\xD5\xEE\xE4 " + std::to_string(index) + ": e2-e4\r\n"));
    return message;
}

bool RunPlugin(const Options &options, const LoopbackSmtpServer &sink, Timings &timings)
{
    const PluginModule plugin(options.plugin.empty() ? PluginModule::DefaultPath() : std::filesystem::path(options.plugin));
    OutcomeTracker tracker;
    PluginHost host(plugin.Api(), [&](const HostNotification &notification) { tracker.Observe(notification); });
    CString game("Bench");
    plugin.Api().Init(game);
    const bool ok = Measure(options.messages, [&](int i) {
        CMapStringToString message = BenchMessage(sink, i);
        plugin.Api().Send(message);
        return host.PumpUntil([&] { return tracker.Settled(i + 1); }, MESSAGE_LIMIT_MS) && tracker.Failed() == 0;
    }, timings);
    if (!ok)
        std::fprintf(stderr, "plug-in delivery failed: %s\n", tracker.LastFailureText().c_str());
    plugin.Api().Close(game);
    return ok;
}

bool RunFloor(const Options &options, const LoopbackSmtpServer &sink, Timings &timings)
{
    PlainSmtpClient client("127.0.0.1", sink.Port());
    const std::string content = "From: " + std::string(FROM) + "\r\nTo: " + TO + "\r\nSubject: \xE8\xCF\xC4\r\n\r\n";
    const bool ok = Measure(options.messages, [&](int i) {
        return client.Deliver(FROM, TO, content + "\xE8\xCF\xC4 " + std::to_string(i) + ": e2-e4\r\n");
    }, timings);
    if (!ok)
        std::fprintf(stderr, "plain client failed: %s\n", client.Error().c_str());
    return ok;
}

}  // namespace

int main(int argc, char **argv)
{
    const Options options = ParseOptions(argc, argv);
    try {
        const LoopbackSmtpServer sink;
        Timings plugin, floor;
        if (!RunPlugin(options, sink, plugin) || !RunFloor(options, sink, floor))
            return 1;
        std::printf("%d messages, one connection each, to %s\n", options.messages, sink.Address().c_str());
        Report("plug-in (Send)", plugin);
        Report("plain socket floor", floor);
        const double ratio = Median(plugin.microseconds) / Median(floor.microseconds);
        std::printf("median ratio plug-in/floor: %.2f (target <= %.1f: %s)\n", ratio, TARGET_RATIO,
                    ratio <= TARGET_RATIO ? "met" : "NOT met");
        return 0;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "morv-bench-e2e: %s\n", error.what());
        return 2;
    }
}
