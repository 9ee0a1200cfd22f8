#include "host/cli/commands.h"

#include "host/cli/game_delivery.h"
#include "host/text/text_codec.h"
#include "host/text/usage_error.h"
#include "morvtransport/morvtransport.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Every message must have a body; this one is never sent.
constexpr const char *CHECK_BODY = "server check";

// A check goes through the plug-in's own SMTP client; the plug-in refuses
// it for another mailer, but the player should hear why before it loads.
void RequireSmtpMailer(const GameSection &section, const std::string &game)
{
    CString mailer;
    if (section.pairs.Lookup("Mailer", mailer) && std::atoi(mailer.GetString()) != 0)
        throw UsageError("game \"" + game + "\" sends with Mailer " + AnsiToUtf8(mailer.view()) +
                         ", not with the plug-in's SMTP client, so it has no SMTP server to check");
}

CMapStringToString CheckMessage(const std::string &game)
{
    CMapStringToString message;
    message.SetAt("GameName", CString(Utf8ToAnsi(game)));
    message.SetAt("Body", CHECK_BODY);
    message.SetAt(MORV_KEY_QUIT_BEFORE_MAIL, "1");
    return message;
}

bool Passed(const GameDelivery &delivery, const std::string &game)
{
    const CString passed = CString::Formatted(MORV_SERVER_CHECK_PASSED, Utf8ToAnsi(game).c_str());
    return delivery.FailureText() == passed.view();
}

// The outcome's text, then what morv-host can add to a failure.
int Report(const CommandContext &context, GameDelivery &delivery, GameDelivery::End end)
{
    HostOutput &output = context.output;
    if (end == GameDelivery::End::Sent) {
        std::fprintf(stderr, "morv-host: the plug-in sent the check as a message: it does not know %s\n",
                     MORV_KEY_QUIT_BEFORE_MAIL);
        return EXIT_FAILED;
    }
    const bool passed = Passed(delivery, context.options.game);
    if (output.Form() == OutputForm::Human) {
        HostNotification outcome;
        outcome.kind = MORV_TN_TEXT;
        outcome.text = delivery.FailureText();
        output.Notify(outcome);
    }
    if (!passed)
        output.Hints(delivery.Hints());
    return passed ? EXIT_OK : EXIT_FAILED;
}

}  // namespace

// The plug-in's own notifications speak of sending: in human form the
// steps of the session and the outcome say what happened instead.
int RunCheckServer(const CommandContext &context)
{
    const HostOptions &options = context.options;
    const GameSection section = RequireGameSection(options);
    RequireSmtpMailer(section, options.game);
    HostOutput &output = context.output;
    const auto notify = [&](const HostNotification &notification) {
        if (output.Form() == OutputForm::Porcelain)
            output.Notify(notification);
    };
    const auto showStep = [&](const std::string &line) {
        output.Write(FormatTranscriptLine(output.Form(), line) + "\n");
    };
    GameDelivery delivery(context, section, notify, showStep);
    CMapStringToString message = CheckMessage(options.game);
    const GameDelivery::End end = delivery.Deliver(message, CTickBound(TimeoutMs(options, INFINITE)));
    if (end == GameDelivery::End::Interrupted)
        return delivery.Cancel();
    if (end == GameDelivery::End::TimedOut)
        return delivery.TimedOut();
    return Report(context, delivery, end);
}
