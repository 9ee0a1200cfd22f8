#include "host/cli/commands.h"

#include "host/cli/game_delivery.h"
#include "host/cli/message_body.h"
#include "host/text/file_outcome.h"
#include "host/text/text_codec.h"
#include "host/text/usage_error.h"
#include "platform/ticks.h"

#include <algorithm>
#include <cstdio>

namespace {

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

std::vector<FileResult> NoneSentYet(const std::vector<OutgoingMessage> &messages)
{
    std::vector<FileResult> results;
    for (const OutgoingMessage &message : messages)
        results.push_back({message.file, FileOutcome::NotSent});
    return results;
}

// A batch stops at its first failure, so a failure is this message's.
FileOutcome OutcomeAfterCancel(const GameDelivery &delivery, int settledBefore)
{
    if (delivery.Settled() == settledBefore)
        return FileOutcome::Cancelled;
    return delivery.Failed() > 0 ? FileOutcome::Failed : FileOutcome::Sent;
}

// The end of a batch at a message that was not sent: its outcome, and the
// exit code.
int StopBatch(const CommandContext &context, GameDelivery &delivery, GameDelivery::End end, int settledBefore,
              FileOutcome &outcome)
{
    if (end == GameDelivery::End::Interrupted) {
        const int exitCode = delivery.Cancel();
        outcome = OutcomeAfterCancel(delivery, settledBefore);
        return exitCode;
    }
    if (end == GameDelivery::End::TimedOut) {
        outcome = FileOutcome::NoOutcome;
        return delivery.TimedOut();
    }
    outcome = FileOutcome::Failed;
    context.output.EndFile();
    context.output.Hints(delivery.Hints());
    return EXIT_FAILED;
}

// One message at a time, each after the outcome of the one before: the
// plug-in's queue hands out the newest message first, and its sender may
// take one before the host has queued the next, so only this keeps the
// order given and tells whose outcome each is. The batch stops at the
// first message that is not sent: the files after it may well depend on
// it (turn 14 on turn 13), and a rerun names what is left.
int SendInOrder(const CommandContext &context, GameDelivery &delivery, std::vector<OutgoingMessage> &messages,
                std::vector<FileResult> &results)
{
    const CTickBound bound(TimeoutMs(context.options, INFINITE));
    for (std::size_t i = 0; i < messages.size(); ++i) {
        if (!messages[i].file.empty())
            context.output.BeginFile(messages[i].file);
        const int settled = delivery.Settled();
        const GameDelivery::End end = delivery.Deliver(messages[i].pairs, bound);
        if (end != GameDelivery::End::Sent)
            return StopBatch(context, delivery, end, settled, results[i].outcome);
        results[i].outcome = FileOutcome::Sent;
    }
    return EXIT_OK;
}

}  // namespace

int RunSend(const CommandContext &context)
{
    const HostOptions &options = context.options;
    const GameSection section = RequireGameSection(options);
    for (const auto &pair : options.extraPairs)
        CheckExtraPair(options, section, pair.first);
    std::vector<OutgoingMessage> messages = BuildMessages(options, ToAnsi(options.game, "the game name"));
    std::vector<FileResult> results = NoneSentYet(messages);
    int exitCode = EXIT_OK;
    {
        GameDelivery delivery(context, section, [&](const HostNotification &notification) {
            context.output.Notify(notification);
        });
        exitCode = SendInOrder(context, delivery, messages, results);
        context.output.EndFile();
    }
    // After the game's closing: the batch's outcome is the last word.
    context.output.Write(FormatFileOutcomes(context.output.Form(), results));
    return exitCode;
}
