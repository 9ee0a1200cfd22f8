#include "host/commands.h"

#include "host/game_session.h"
#include "host/outcome_tracker.h"
#include "host/plugin_host.h"
#include "host/text_codec.h"
#include "host/usage_error.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace {

// The plug-in appends each SMTP session's transcript to the file this
// names.
constexpr const char *TRACE_VARIABLE = "MORV_SMTP_TRACE";

// How long the host waits for "Abort by user" after Ctrl-C; the plug-in
// stops its sender within 5 s.
constexpr DWORD ABORT_WAIT_MS = 10000;

std::string ReadBody(const std::string &file)
{
    if (file == "-")
        return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw UsageError("cannot read " + file);
    std::ostringstream body;
    body << in.rdbuf();
    return body.str();
}

CString ToAnsi(const std::string &utf8, const std::string &what)
{
    try {
        return CString(Utf8ToAnsi(utf8));
    } catch (const TextCodecError &error) {
        throw UsageError(what + " cannot be sent in Windows-1251 (" + error.what() + ")");
    }
}

std::vector<CMapStringToString> BuildMessages(const HostOptions &options, const CString &game)
{
    const std::vector<std::string> files = options.files.empty() ? std::vector<std::string>{"-"} : options.files;
    std::vector<CMapStringToString> messages;
    for (const std::string &file : files) {
        CMapStringToString message;
        message.SetAt("GameName", game);
        message.SetAt("Body", ToAnsi(ReadBody(file), file == "-" ? "standard input" : file));
        for (const auto &[key, value] : options.extraPairs)
            message.SetAt(ToAnsi(key, "key " + key), ToAnsi(value, "value of " + key));
        messages.push_back(std::move(message));
    }
    return messages;
}

int CancelAndWait(PluginHost &host, const OutcomeTracker &tracker)
{
    host.Api().Cancel();
    if (!host.PumpUntilIgnoringInterrupts([&] { return tracker.Aborted(); }, ABORT_WAIT_MS))
        std::fprintf(stderr, "morv-host: the plug-in did not confirm the cancel\n");
    return EXIT_INTERRUPTED;
}

int Outcome(const OutcomeTracker &tracker, int expected)
{
    if (!tracker.Settled(expected)) {
        std::fprintf(stderr, "morv-host: %d of %d messages had no outcome in time\n",
                     expected - tracker.Sent() - tracker.Failed(), expected);
        return EXIT_FAILED;
    }
    return tracker.Failed() ? EXIT_FAILED : EXIT_OK;
}

}  // namespace

int RunSend(const CommandContext &context)
{
    const HostOptions &options = context.options;
    ProjectFile project(options.project.empty() ? ProjectFile::DefaultPath() : std::filesystem::path(options.project));
    project.Load(false);
    const std::optional<GameSection> section = project.Find(options.game);
    std::vector<CMapStringToString> messages = BuildMessages(options, ToAnsi(options.game, "the game name"));
    if (!options.traceFile.empty())
        setenv(TRACE_VARIABLE, options.traceFile.c_str(), 1);
    OutcomeTracker tracker;
    PluginHost host(context.api, [&](const HostNotification &notification) {
        tracker.Observe(notification);
        context.output.Notify(notification);
    }, context.watcher);
    const GameSession game(context.api, options.game, section);
    for (CMapStringToString &message : messages)
        context.api.Send(message);
    const int expected = static_cast<int>(messages.size());
    host.PumpUntil([&] { return tracker.Settled(expected); }, TimeoutMs(options, INFINITE));
    if (!tracker.Settled(expected) && host.Interrupts() > 0)
        return CancelAndWait(host, tracker);
    return Outcome(tracker, expected);
}
