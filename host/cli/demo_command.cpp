#include "host/cli/commands.h"

#include "host/loopback/loopback_smtp_server.h"
#include "host/page/config_page_driver.h"
#include "host/session/game_session.h"
#include "host/session/outcome_tracker.h"
#include "host/session/plugin_host.h"
#include "host/text/text_codec.h"

namespace {

constexpr DWORD DEFAULT_DEMO_MS = 30000;
constexpr const char *DEMO_GAME = "Demo";
constexpr const char *DEMO_FROM = "player@localhost";
constexpr const char *DEMO_TO = "server@localhost";
constexpr const char *DEMO_SUBJECT = "Партия 7, ход 12: Щука и Шашки";
// The pangram holds every letter of the alphabet, Ё included; the dotted
// line shows dot-stuffing on the wire.
constexpr const char *DEMO_BODY =
    "Привет, сервер!\r\n"
    "Съешь же ещё этих мягких французских булок, да выпей чаю.\r\n"
    "ЩЕГОЛЬ ШЕПЧЕТ: ЁЖИК, ЭХО, ЮЛА, ЯКОРЬ.\r\n"
    ".Строка с точкой в начале.\r\n"
    "Ход: e2-e4";

void Say(HostOutput &output, const std::string &line) { output.Write("== " + line + "\n"); }

// The header field's value, or empty.
std::string HeaderField(const std::string &header, const std::string &name)
{
    const std::string prefix = name + ": ";
    for (std::size_t start = 0; start < header.size();) {
        std::size_t end = header.find("\r\n", start);
        end = end == std::string::npos ? header.size() : end;
        if (header.compare(start, prefix.size(), prefix) == 0)
            return header.substr(start + prefix.size(), end - start - prefix.size());
        start = end + 2;
    }
    return {};
}

// What is wrong with the received message, or empty when it is intact.
std::string Verify(const ReceivedMail &message)
{
    if (message.mailFrom != DEMO_FROM)
        return "MAIL FROM was <" + message.mailFrom + ">";
    if (message.recipients != std::vector<std::string>{DEMO_TO})
        return "the recipients were not exactly <" + std::string(DEMO_TO) + ">";
    if (Koi8ToUtf8(HeaderField(message.Header(), "Subject")) != DEMO_SUBJECT)
        return "the subject did not arrive intact";
    if (Koi8ToUtf8(message.Body()) != std::string(DEMO_BODY) + "\r\n")
        return "the body did not arrive intact";
    return {};
}

void ShowReceived(HostOutput &output, const ReceivedMail &message)
{
    Say(output, "the server received (MAIL FROM:<" + message.mailFrom + ">, KOI8-R shown decoded):");
    output.Write(Koi8ToUtf8(message.data));
    Say(output, "end of data");
}

void Configure(const CommandContext &context, const CString &game, const LoopbackSmtpServer &sink)
{
    const Assignments page{{"Mailer", "SMTP"},      {"ServerSMTP", sink.Address()}, {"From", DEMO_FROM},
                           {"To", DEMO_TO},         {"Subject", DEMO_SUBJECT}};
    ConfigPageDriver(context.api).Apply(game, page);
}

bool Deliver(const CommandContext &context, PluginHost &host, OutcomeTracker &tracker, const CString &game)
{
    CMapStringToString message;
    message.SetAt("GameName", game);
    message.SetAt("Body", CString(Utf8ToAnsi(DEMO_BODY)));
    context.api.Send(message);
    host.PumpUntil([&] { return tracker.Settled(1); }, TimeoutMs(context.options, DEFAULT_DEMO_MS));
    return tracker.Sent() == 1;
}

int Judge(const CommandContext &context, const LoopbackSmtpServer &sink, bool sent)
{
    const std::vector<ReceivedMail> received = sink.Mails();
    if (!sent || received.size() != 1) {
        Say(context.output, "FAILED: the message was not delivered to the sink");
        return EXIT_FAILED;
    }
    ShowReceived(context.output, received.front());
    const std::string problem = Verify(received.front());
    Say(context.output, problem.empty() ? "OK: the message arrived intact" : "FAILED: " + problem);
    return problem.empty() ? EXIT_OK : EXIT_FAILED;
}

}  // namespace

int RunDemo(const CommandContext &context)
{
    const LoopbackSmtpServer sink;
    Say(context.output, "SMTP sink listening on " + sink.Address());
    OutcomeTracker tracker;
    bool sent = false;
    {
        PluginHost host(context.api, [&](const HostNotification &notification) {
            tracker.Observe(notification);
            context.output.Notify(notification);
        }, context.watcher);
        const GameSession game(context.api, DEMO_GAME, std::nullopt);
        Say(context.output, "configuring game \"Demo\" on the configuration page");
        Configure(context, game.Name(), sink);
        Say(context.output, "sending one message");
        sent = Deliver(context, host, tracker, game.Name());
        if (host.Interrupts() > 0)
            return ExitForSignal(host.LastSignal());
    }
    return Judge(context, sink, sent);
}
