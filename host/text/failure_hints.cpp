#include "host/text/failure_hints.h"

#include "host/text/shell_word.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>
#include <string_view>

namespace {

// What the transcript shows of the session.
struct SessionFacts {
    int port = 0;           // the port connected to; 0: no connection
    bool answered = false;  // the server sent a line after the connection
    std::string lastReply;  // the last line it sent before QUIT
    bool quitting = false;  // QUIT was sent
};

// Transcript lines: "2026-12-08T11:38:35.141Z < 220 ready", with ">" for
// what was sent and "*" for events such as "connected to HOST port N".
SessionFacts ReadTranscript(const std::string &transcript)
{
    constexpr std::string_view CONNECTED = "connected to ";
    SessionFacts facts;
    std::istringstream lines(transcript);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t mark = line.find(' ') + 1;
        if (mark == 0 || mark + 2 > line.size())
            continue;
        const std::string text = line.substr(mark + 2);
        if (line[mark] == '*' && text.starts_with(CONNECTED))
            facts = SessionFacts{std::atoi(text.substr(text.rfind(' ') + 1).c_str()), false, {}, false};
        else if (line[mark] == '>' && text == "QUIT")
            facts.quitting = true;
        else if (line[mark] == '<' && !facts.quitting)
            facts = SessionFacts{facts.port, true, text, false};
    }
    return facts;
}

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

bool ContainsNoCase(std::string_view text, std::string_view part)
{
    return std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           }) != text.end();
}

struct Situation {
    const FailedDelivery &failure;
    SessionFacts session;

    bool Security(std::string_view mode) const
    {
        return failure.security == mode || (mode == "none" && failure.security.empty());
    }
    // "ServerSMTP" without its port or brackets.
    std::string Host() const
    {
        const std::string &server = failure.server;
        if (server.starts_with('['))
            return server.substr(1, server.find(']') - 1);
        return server.substr(0, server.find(':'));
    }
    std::string Config(const std::string &assignments) const
    {
        return "morv-host config " + ShellWord(failure.game) + " " + assignments;
    }
};

bool AsksForStartTls(const Situation &s)
{
    return s.Security("none") && s.session.lastReply.starts_with('5') && ContainsNoCase(s.session.lastReply, "STARTTLS");
}

bool WantsLogin(const Situation &s)
{
    const std::string &reply = s.session.lastReply;
    return s.failure.login.empty() && !AsksForStartTls(s) &&
           (reply.starts_with("530") || ContainsNoCase(reply, "authentication required") ||
            (reply.starts_with('5') && ContainsNoCase(reply, "relay")));
}

bool CouldNotConnect(const Situation &s, std::string_view errorNumber)
{
    return Contains(s.failure.text, "Could not connect") &&
           Contains(s.failure.text, "GetLastError returns: " + std::string(errorNumber));
}

bool CertificateUntrusted(const Situation &s)
{
    static constexpr std::string_view REASONS[] = {"unable to get local issuer certificate",
                                                   "unable to get issuer certificate", "self-signed certificate",
                                                   "self signed certificate"};
    return std::any_of(std::begin(REASONS), std::end(REASONS),
                       [&](std::string_view reason) { return Contains(s.failure.text, reason); });
}

struct HintRule {
    // Left out when the plug-in's text already gives this advice; may be
    // null.
    const char *advice;
    bool (*applies)(const Situation &);
    std::string (*hint)(const Situation &);
};

const HintRule RULES[] = {
    {nullptr,
     [](const Situation &s) { return !s.session.lastReply.empty() && !Contains(s.failure.text, s.session.lastReply); },
     [](const Situation &s) { return "the server's last reply: " + s.session.lastReply; }},
    {"Security=starttls", AsksForStartTls,
     [](const Situation &s) { return "the server asks for STARTTLS: " + s.Config("Security=starttls"); }},
    {"Security=tls",
     [](const Situation &s) { return s.session.port == 465 && !s.session.answered && !s.Security("tls"); },
     [](const Situation &s) { return "port 465 speaks TLS from the first byte: " + s.Config("Security=tls"); }},
    {"Security=starttls",
     [](const Situation &s) {
         return s.Security("tls") && s.session.port != 0 && s.session.port != 465 &&
                Contains(s.failure.text, "TLS handshake with");
     },
     [](const Situation &s) {
         return "port " + std::to_string(s.session.port) + " speaks plain SMTP before STARTTLS: " +
                s.Config("Security=starttls");
     }},
    {"TlsCaFile", CertificateUntrusted,
     [](const Situation &s) {
         return "no CA this machine trusts signed the server's certificate: for a public provider, install "
                "ca-certificates; for a private CA (or a proxy that inspects TLS), name its certificate: " +
                s.Config("TlsCaFile=/path/to/ca.pem");
     }},
    {nullptr,
     [](const Situation &s) {
         return Contains(s.failure.text, "hostname mismatch") || Contains(s.failure.text, "IP address mismatch");
     },
     [](const Situation &s) {
         return "the server's certificate does not name " + s.Host() +
                ": set ServerSMTP to the host name your provider gives for SMTP";
     }},
    {"app password", [](const Situation &s) { return Contains(s.failure.text, "refused the login"); },
     [](const Situation &s) {
         return "the password is the one of machine " + s.Host() + " login " + s.failure.login +
                " in the netrc file ($MORV_NETRC, else ~/.netrc); many providers want an app password there";
     }},
    {"Login=", WantsLogin,
     [](const Situation &s) {
         return "the server wants a login: " +
                s.Config(s.Security("none") ? "Security=starttls Login=YOUR-LOGIN" : "Login=YOUR-LOGIN") +
                ", and its password in ~/.netrc";
     }},
    {nullptr, [](const Situation &s) { return CouldNotConnect(s, "111"); },
     [](const Situation &) {
         return std::string("nothing listens on that port: mail providers take mail on port 587 "
                            "(Security=starttls) or 465 (Security=tls)");
     }},
    {nullptr,
     [](const Situation &s) {
         return (CouldNotConnect(s, "110") || CouldNotConnect(s, "10060")) && Contains(s.failure.text, "port 25,");
     },
     [](const Situation &s) {
         return "many networks block port 25 on the way out; a provider takes mail on port 587: " +
                s.Config(ShellWord("ServerSMTP=" + s.Host() + ":587") + " Security=starttls");
     }},
};

}  // namespace

std::vector<std::string> FailureHints(const FailedDelivery &failure)
{
    const Situation situation{failure, ReadTranscript(failure.transcript)};
    std::vector<std::string> hints;
    for (const HintRule &rule : RULES) {
        if (rule.advice && Contains(failure.text, rule.advice))
            continue;
        if (rule.applies(situation))
            hints.push_back(rule.hint(situation));
    }
    return hints;
}
