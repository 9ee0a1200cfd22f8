// The hints after a failed delivery: each rule of the table, from what a
// real session's transcript and the plug-in's text show.
#include "host/text/failure_hints.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// The transcript as the plug-in writes it, time-stamped.
std::string Transcript(const Lines &lines)
{
    std::string transcript;
    for (const std::string &line : lines)
        transcript += "2026-12-08T11:38:35.141Z " + line + "\n";
    return transcript;
}

struct HintCase {
    const char *name;
    FailedDelivery failure;
    Lines hints;
};

void PrintTo(const HintCase &row, std::ostream *out) { *out << row.name; }

FailedDelivery Plain(const std::string &text, const Lines &transcript)
{
    return {"G", text, Transcript(transcript), "", "smtp.example.org", ""};
}

FailedDelivery Secure(const std::string &security, const std::string &server, const std::string &text,
                      const Lines &transcript = {})
{
    return {"G", text, Transcript(transcript), security, server, "me@example.org"};
}

const Lines GREETED{"* connected to smtp.example.org port 25", "< 220 smtp.example.org ESMTP", "> HELO me",
                    "< 250 hello"};

Lines Then(Lines lines, const Lines &more)
{
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

const char *const STARTTLS_REPLY = "530 5.7.0 Must issue a STARTTLS command first";

class FailureHintsTest : public ::testing::TestWithParam<HintCase> {};

TEST_P(FailureHintsTest, TellWhatTheTranscriptShowsAndTheLikelyFix)
{
    EXPECT_EQ(FailureHints(GetParam().failure), GetParam().hints);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FailureHintsTest,
    ::testing::Values(
        HintCase{"ServersReplyInTheTextAddsNothing",
                 Plain("G ERR: 550 5.1.1 No such mailbox", Then(GREETED, {"> MAIL FROM:<me@x>", "< 550 5.1.1 No such "
                       "mailbox", "> QUIT", "< 221 bye"})), {}},
        HintCase{"StartTlsAskedForAtMail",
                 Plain(std::string("G ERR: ") + STARTTLS_REPLY,
                       Then(GREETED, {"> MAIL FROM:<me@x>", std::string("< ") + STARTTLS_REPLY, "> QUIT", "< 221 bye"})),
                 {"the server asks for STARTTLS: morv-host config G Security=starttls"}},
        HintCase{"StartTlsAskedForAtHelo",
                 Plain("G ERR: An unexpected HELO response was received\n",
                       {"* connected to smtp.example.org port 25", "< 220 ready", "> HELO me",
                        std::string("< ") + STARTTLS_REPLY, "> QUIT", "< 221 bye"}),
                 {std::string("the server's last reply: ") + STARTTLS_REPLY,
                  "the server asks for STARTTLS: morv-host config G Security=starttls"}},
        HintCase{"NoGreetingOnTheTlsPort",
                 Secure("starttls", "smtp.example.org:465", "G ERR: No reply from the SMTP server within 30 seconds",
                        {"* connected to smtp.example.org port 465"}),
                 {"port 465 speaks TLS from the first byte: morv-host config G Security=tls"}},
        HintCase{"NoGreetingTheTextExplainsAlready",
                 Secure("starttls", "smtp.example.org:465", "G ERR: the server sent no greeting; set Security=tls",
                        {"* connected to smtp.example.org port 465"}),
                 {}},
        HintCase{"TlsOnAPlainPort",
                 Secure("tls", "smtp.example.org:587", "G ERR: TLS handshake with smtp.example.org failed: wrong "
                        "version number", {"* connected to smtp.example.org port 587"}),
                 {"port 587 speaks plain SMTP before STARTTLS: morv-host config G Security=starttls"}},
        HintCase{"CaSentInTheChainButUntrusted",
                 Secure("tls", "smtp.example.org", "G ERR: Could not verify the certificate of smtp.example.org: "
                        "self-signed certificate in certificate chain"),
                 {"no CA this machine trusts signed the server's certificate: for a public provider, install "
                  "ca-certificates; for a private CA (or a proxy that inspects TLS), name its certificate: "
                  "morv-host config G TlsCaFile=/path/to/ca.pem"}},
        HintCase{"CertificateForAnotherName",
                 Secure("starttls", "mail.example.org:587", "G ERR: Could not verify the certificate of "
                        "mail.example.org: hostname mismatch"),
                 {"the server's certificate does not name mail.example.org: set ServerSMTP to the host name your "
                  "provider gives for SMTP"}},
        HintCase{"LoginRefused",
                 Secure("starttls", "[2001:db8::1]:587", "G ERR: The SMTP server refused the login: 535 5.7.8 "
                        "Authentication credentials invalid"),
                 {"the password is the one of machine 2001:db8::1 login me@example.org in the netrc file "
                  "($MORV_NETRC, else ~/.netrc); many providers want an app password there"}},
        HintCase{"LoginWanted",
                 Plain("G ERR: 530 5.7.0 Authentication required",
                       Then(GREETED, {"> MAIL FROM:<me@x>", "< 530 5.7.0 Authentication required"})),
                 {"the server wants a login: morv-host config G Security=starttls Login=YOUR-LOGIN, and its password "
                  "in ~/.netrc"}},
        HintCase{"NothingListens",
                 Plain("G ERR: Could not connect to the SMTP server smtp.example.org on port 587, GetLastError "
                       "returns: 111\n", {}),
                 {"nothing listens on that port: mail providers take mail on port 587 (Security=starttls) or 465 "
                  "(Security=tls)"}},
        HintCase{"PortTwentyFiveBlocked",
                 FailedDelivery{"My Game", "My Game ERR: Could not connect to the SMTP server smtp.example.org on "
                                "port 25, GetLastError returns: 110\n", "", "", "smtp.example.org", ""},
                 {"many networks block port 25 on the way out; a provider takes mail on port 587: morv-host config "
                  "'My Game' ServerSMTP=smtp.example.org:587 Security=starttls"}}),
    [](const auto &row) { return std::string(row.param.name); });

}  // namespace
