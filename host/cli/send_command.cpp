#include "host/cli/commands.h"

#include "host/cli/message_body.h"
#include "host/session/game_session.h"
#include "host/session/outcome_tracker.h"
#include "host/session/plugin_host.h"
#include "host/text/text_codec.h"
#include "host/text/usage_error.h"
#include "platform/ticks.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// The plug-in appends each SMTP session's transcript to the file this
// names.
constexpr const char *TRACE_VARIABLE = "MORV_SMTP_TRACE";

// How long the host waits for "Abort by user" after Ctrl-C; the plug-in
// stops its sender within 5 s.
constexpr DWORD ABORT_WAIT_MS = 10000;

// One message to send and the file its Body came from (empty: --set Body).
struct OutgoingMessage {
    std::string file;
    CMapStringToString pairs;
};

CString ToAnsi(const std::string &utf8, const std::string &what)
{
    try {
        return CString(Utf8ToAnsi(utf8));
    } catch (const TextCodecError &error) {
        throw UsageError(what + " cannot be sent in Windows-1251 (" + error.what() + ")");
    }
}

// The settings win over a message's pairs, so a --set pair for a key they
// hold would be dropped without a word.
void CheckExtraPair(const HostOptions &options, const GameSection &section, const std::string &key)
{
    if (key == "Body" && !options.files.empty())
        throw UsageError("--set Body= cannot go with files: each file is the Body of its message");
    CString stored(key == "GameName" ? ToAnsi(options.game, "the game name") : CString());
    if (key != "GameName" && !section.pairs.Lookup(ToAnsi(key, "key " + key), stored))
        return;
    throw UsageError("--set " + key + "=...: game \"" + options.game + "\" has " + key + " = \"" +
                     AnsiToUtf8(stored.view()) + "\" in its settings, which win over a message's pairs; change it "
                     "with: morv-host config " + options.game + " " + key + "=VALUE" +
                     (key == "GameName" ? "" : ", or remove it with: morv-host config " + options.game +
                                                   " --unset " + key));
}

bool SetsBody(const HostOptions &options)
{
    return std::any_of(options.extraPairs.begin(), options.extraPairs.end(),
                       [](const auto &pair) { return pair.first == "Body"; });
}

// Each file's message, or the problem that keeps it from being sent.
OutgoingMessage BuildMessage(const HostOptions &options, const CString &game, const std::string &file)
{
    OutgoingMessage message{file, CMapStringToString()};
    message.pairs.SetAt("GameName", game);
    if (!file.empty())
        message.pairs.SetAt("Body", CString(ReadMessageBody(file, options.encoding)));
    for (const auto &[key, value] : options.extraPairs)
        message.pairs.SetAt(ToAnsi(key, "key " + key), ToAnsi(value, "value of " + key));
    return message;
}

// Every message read and checked before the first is sent, so that a file
// that cannot go never leaves the files before it sent: a second run, the
// file put right, would send those twice. Every problem is told at once.
std::vector<OutgoingMessage> BuildMessages(const HostOptions &options, const CString &game)
{
    std::vector<std::string> files = options.files;
    if (files.empty())
        files.push_back(SetsBody(options) ? "" : "-");  // "": the body comes with --set
    std::vector<OutgoingMessage> messages;
    std::vector<std::string> problems;
    for (const std::string &file : files) {
        try {
            messages.push_back(BuildMessage(options, game, file));
        } catch (const UsageError &error) {
            problems.push_back(error.what());
        }
    }
    if (problems.size() == 1 && files.size() == 1)
        throw UsageError(problems.front());
    for (const std::string &problem : problems)
        std::fprintf(stderr, "morv-host: %s\n", problem.c_str());
    if (!problems.empty())
        throw UsageError("nothing was sent: " + std::to_string(problems.size()) + " of " +
                         std::to_string(files.size()) + " files cannot be sent");
    return messages;
}

int CancelAndWait(PluginHost &host, const OutcomeTracker &tracker)
{
    host.Api().Cancel();
    if (!host.PumpUntilIgnoringInterrupts([&] { return tracker.Aborted(); }, ABORT_WAIT_MS))
        std::fprintf(stderr, "morv-host: the plug-in did not confirm the cancel\n");
    return ExitForSignal(host.LastSignal());
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

// One message at a time, each after the outcome of the one before: the
// plug-in's queue hands out the newest message first, and its sender may
// take one before the host has queued the next, so only this keeps the
// order given and tells whose outcome each is.
void SendInOrder(const CommandContext &context, PluginHost &host, const OutcomeTracker &tracker,
                 std::vector<OutgoingMessage> &messages)
{
    const CTickBound bound(TimeoutMs(context.options, INFINITE));
    for (std::size_t i = 0; i < messages.size(); ++i) {
        if (!messages[i].file.empty())
            context.output.BeginFile(messages[i].file);
        context.api.Send(messages[i].pairs);
        const int settled = static_cast<int>(i) + 1;
        if (!host.PumpUntil([&] { return tracker.Settled(settled); }, bound.Left()))
            return;
    }
}

}  // namespace

int RunSend(const CommandContext &context)
{
    const HostOptions &options = context.options;
    ProjectFile project(ProjectPath(options));
    project.Load(false);
    const GameSection section = project.Require(options.game);
    for (const auto &pair : options.extraPairs)
        CheckExtraPair(options, section, pair.first);
    std::vector<OutgoingMessage> messages = BuildMessages(options, ToAnsi(options.game, "the game name"));
    if (!options.traceFile.empty())
        setenv(TRACE_VARIABLE, options.traceFile.c_str(), 1);
    OutcomeTracker tracker;
    PluginHost host(context.api, [&](const HostNotification &notification) {
        tracker.Observe(notification);
        context.output.Notify(notification);
    }, context.watcher);
    const GameSession game(context.api, options.game, section);
    SendInOrder(context, host, tracker, messages);
    const int expected = static_cast<int>(messages.size());
    const bool cancel = !tracker.Settled(expected) && host.Interrupts() > 0;
    const int exitCode = cancel ? CancelAndWait(host, tracker) : Outcome(tracker, expected);
    context.output.EndFile();
    return exitCode;
}
