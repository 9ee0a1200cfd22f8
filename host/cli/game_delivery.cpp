#include "host/cli/game_delivery.h"

#include "host/os/environment.h"
#include "host/text/failure_hints.h"
#include "host/text/text_codec.h"

#include <cstdio>

namespace {

// How long the host waits for "Abort by user" after Ctrl-C; the plug-in
// stops its sender within 5 s.
constexpr DWORD ABORT_WAIT_MS = 10000;
// How often the transcript is looked at while no notification comes.
constexpr DWORD TRANSCRIPT_POLL_MS = 100;

// Where the player wants the transcript: --trace, else the file that
// MORV_SMTP_TRACE names for any host.
std::string TranscriptCopy(const HostOptions &options)
{
    if (!options.traceFile.empty())
        return options.traceFile;
    return ProcessEnvironment("MORV_SMTP_TRACE").value_or("");
}

std::string Setting(const CMapStringToString &settings, const char *key)
{
    CString value;
    return settings.Lookup(key, value) ? AnsiToUtf8(value.view()) : std::string();
}

}  // namespace

GameDelivery::GameDelivery(const CommandContext &context, const GameSection &section, PluginHost::Listener listener,
                           LineListener onLine)
    : m_context(context),
      m_settings(section.pairs),
      m_transcript(TranscriptCopy(context.options)),
      m_onLine(std::move(onLine)),
      m_host(context.api, [this, listener = std::move(listener)](const HostNotification &notification) {
          m_tracker.Observe(notification);
          listener(notification);
      }, context.watcher),
      m_game(context.api, context.options.game, section)
{
}

// The transcript grows without a notification, so the wait looks at it
// now and then as well.
GameDelivery::End GameDelivery::Deliver(CMapStringToString &message, const CTickBound &bound)
{
    const int settled = Settled() + 1;
    const int failed = Failed();
    m_transcript.BeginMessage();
    m_context.api.Send(message);
    const auto outcome = [&] {
        TakeTranscript();
        return m_tracker.Settled(settled);
    };
    if (!m_host.PumpUntil(outcome, bound.Left(), TRANSCRIPT_POLL_MS))
        return m_host.Interrupts() > 0 ? End::Interrupted : End::TimedOut;
    return Failed() > failed ? End::Failed : End::Sent;
}

void GameDelivery::TakeTranscript()
{
    for (const std::string &line : m_transcript.Take()) {
        if (m_onLine)
            m_onLine(line);
    }
}

int GameDelivery::Cancel()
{
    m_context.api.Cancel();
    if (!m_host.PumpUntilIgnoringInterrupts([&] { return m_tracker.Aborted(); }, ABORT_WAIT_MS))
        std::fprintf(stderr, "morv-host: the plug-in did not confirm the cancel\n");
    TakeTranscript();
    return ExitForSignal(m_host.LastSignal());
}

int GameDelivery::TimedOut() const
{
    std::fprintf(stderr, "morv-host: no outcome within the --timeout of %g s\n", m_context.options.timeoutSeconds);
    return EXIT_FAILED;
}

std::vector<std::string> GameDelivery::Hints() const
{
    return FailureHints({m_context.options.game, AnsiToUtf8(FailureText()), m_transcript.MessageLines(),
                         Setting(m_settings, "Security"), Setting(m_settings, "ServerSMTP"),
                         Setting(m_settings, "Login")});
}
