// GameDelivery: a command's messages to one game of the project through
// the plug-in: the plug-in's session with the game open, the transcript
// of its SMTP sessions kept (smtp_transcript.h), and each message handed
// over alone and waited for. Host's thread only.
#pragma once

#include "host/cli/commands.h"
#include "host/session/game_session.h"
#include "host/session/outcome_tracker.h"
#include "host/session/plugin_host.h"
#include "host/session/smtp_transcript.h"
#include "platform/ticks.h"

#include <functional>
#include <string>
#include <vector>

class GameDelivery {
public:
    enum class End { Sent, Failed, Interrupted, TimedOut };
    using LineListener = std::function<void(const std::string &line)>;

    // `listener` sees every notification; `onLine`, when given, each
    // transcript line soon after the plug-in wrote it.
    GameDelivery(const CommandContext &context, const GameSection &section, PluginHost::Listener listener,
                 LineListener onLine = {});

    // Hands `message` to the plug-in and pumps until its outcome, an
    // interrupt (Ctrl-C, SIGTERM, SIGHUP) or the end of `bound`.
    End Deliver(CMapStringToString &message, const CTickBound &bound);
    // After an interrupt: Cancel, and wait for the plug-in to confirm it.
    // The exit code for the signal.
    int Cancel();
    // How many messages had their outcome so far, and how many failed.
    int Settled() const { return m_tracker.Sent() + m_tracker.Failed(); }
    int Failed() const { return m_tracker.Failed(); }
    // The text of the latest failure, in Windows-1251.
    const std::string &FailureText() const { return m_tracker.LastFailureText(); }
    // What morv-host can add to the latest failure (failure_hints.h).
    std::vector<std::string> Hints() const;
    // After the end of the bound: says so; the exit code.
    int TimedOut() const;

private:
    void TakeTranscript();

    const CommandContext &m_context;
    const CMapStringToString m_settings;
    SmtpTranscript m_transcript;
    OutcomeTracker m_tracker;
    LineListener m_onLine;
    PluginHost m_host;
    GameSession m_game;
};
