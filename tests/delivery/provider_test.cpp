// Sending through a mail provider, end to end through the real library to
// aiosmtpd with TLS and a login: the turn arrives intact over STARTTLS and
// over TLS from the first byte, and every way a provider's connection can
// go wrong fails the turn with a text, sending nothing it should not (what
// the server saw is in its commands.log, what the client sent in the
// transcript, which never holds the password).
#include "support/scoped_variable.h"
#include "support/temp_folder.h"
#include "platform/resources.h"
#include "smtp/system_sockets.h"
#include "support/aiosmtpd_server.h"
#include "support/masked_header.h"
#include "support/plugin_api.h"
#include "support/test_certificates.h"
#include "support/test_host.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Options = std::vector<std::string>;

const std::string LOGIN = "player@example.org";
const std::string PASSWORD = "xK9-turn-secret";
// PASSWORD in base64 (AUTH LOGIN), and NUL LOGIN NUL PASSWORD (AUTH PLAIN).
const std::string PASSWORD_BASE64 = "eEs5LXR1cm4tc2VjcmV0";
const std::string PLAIN_BASE64 = "AHBsYXllckBleGFtcGxlLm9yZwB4SzktdHVybi1zZWNyZXQ=";
// "Ход Щуки" with a dot line, in Windows-1251 and as the server stores it
// (Masked).
const std::string BODY_1251 = "\xD5\xEE\xE4 \xD9\xF3\xEA\xE8\r\n.\r\nend";
const std::string CONTENT_KOI8 = MASKED_TURN_HEADER + "\xE8\xCF\xC4 \xFD\xD5\xCB\xC9\r\n.\r\nend\r\n";

class ProviderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetResourceLanguage(ResourceLanguage::English);
        WriteNetrc(PASSWORD, 0600);
        host.Load();
    }
    void TearDown() override
    {
        host.Api().OnClose();
    }

    static const TestCertificates &Certificates() { return TestCertificates::Shared(); }

    void WriteNetrc(const std::string &password, mode_t mode)
    {
        WriteFile(folder / "netrc", "machine 127.0.0.1 login " + LOGIN + " password " + password +
                                        "\nmachine localhost login " + LOGIN + " password " + password + "\n");
        chmod((folder / "netrc").string().c_str(), mode);
    }

    // The server's options with the certificate named `certificate`.
    static Options WithCertificate(Options options, const char *certificate = TestCertificates::SERVER)
    {
        options.insert(options.end(), {"--cert", ShellPath(Certificates().Certificate(certificate)), "--key",
                                       ShellPath(Certificates().Key(certificate))});
        return options;
    }

    // Sends the turn as game Alpha with `settings` besides the usual ones;
    // true when it was sent, else LastText() says why.
    bool SendTurn(const std::string &server, std::vector<std::pair<std::string, std::string>> settings)
    {
        // The row's own settings come last, so they win.
        settings.insert(settings.begin(), {{"From", LOGIN}, {"To", "server@example.org"}, {"Subject", "Turn"},
                                           {"ServerSMTP", server}});
        CMapStringToString store;
        for (const auto &[key, value] : settings)
            store.SetAt(key.c_str(), value.c_str());
        RestoreGame(host.Api(), "Alpha", std::move(store));
        CMapStringToString message = MakeMap({{"GameName", "Alpha"}});
        message.SetAt("Body", BODY_1251.c_str());
        host.Api().Send(message);
        EXPECT_TRUE(host.PumpUntil([&] {
            const auto words = host.Statuses();
            return !host.SentRecords().empty() || std::count(words.begin(), words.end(), MORV_TS_UNSENT) > 0;
        }));
        return !host.SentRecords().empty();
    }

    std::string LastText() const { return host.Texts().empty() ? "" : host.Texts().back(); }
    std::string ServerLog() const { return ReadFile(folder / "commands.log"); }
    std::string Trace() const { return ReadTextFile(folder / "trace.log"); }

    // The lines the client sent, as the transcript shows them.
    std::vector<std::string> SentLines() const
    {
        std::vector<std::string> lines;
        std::istringstream trace(Trace());
        for (std::string line; std::getline(trace, line);) {
            if (line.find(" > ") != std::string::npos)
                lines.push_back(line.substr(line.find(" > ") + 3));
        }
        return lines;
    }

    void ExpectNoSecretInTrace() const
    {
        const std::string trace = Trace();
        for (const std::string &secret : {PASSWORD, PASSWORD_BASE64, PLAIN_BASE64})
            EXPECT_EQ(trace.find(secret), std::string::npos) << secret << " in\n" << trace;
    }

    TempFolder folder;
    PluginLibrary library;
    TestHost host{library.Api()};
    const ScopedVariable netrcVariable{"MORV_NETRC", (folder / "netrc").string().c_str()};
    const ScopedVariable traceVariable{"MORV_SMTP_TRACE", (folder / "trace.log").string().c_str()};
};

// The tests that need aiosmtpd and the certificates.
class ServerTest : public ProviderTest {
protected:
    void SetUp() override
    {
        if (!AiosmtpdServer::Available())
            GTEST_SKIP() << "python3-aiosmtpd is missing: no real SMTP server to test against";
        if (!Certificates().Made())
            GTEST_SKIP() << "the openssl command could not make the test certificates";
        ProviderTest::SetUp();
    }
    void TearDown() override
    {
        if (!IsSkipped())
            ProviderTest::TearDown();
    }
};

struct SecureRoute {
    const char *name;
    Options serverOptions;
    const char *security;
    bool byName;              // ServerSMTP names localhost, not 127.0.0.1
    Options loginLines;       // the login as the transcript shows it
    const char *serverLog;    // what the server saw
};

// The test name and the CTest name show the case, not its bytes.
void PrintTo(const SecureRoute &row, std::ostream *out) { *out << row.name; }

class SecureRouteTest : public ServerTest, public ::testing::WithParamInterface<SecureRoute> {};

TEST_P(SecureRouteTest, RussianTurnArrivesIntactAndTheTranscriptHidesTheLogin)
{
    const SecureRoute &route = GetParam();
    AiosmtpdServer server(folder.Path(), WithCertificate(route.serverOptions));
    ASSERT_GT(server.Port(), 0);
    const std::string address = (route.byName ? "localhost:" : "127.0.0.1:") + std::to_string(server.Port());
    ASSERT_TRUE(SendTurn(address, {{"Security", route.security}, {"Login", LOGIN},
                                   {"TlsCaFile", Certificates().Ca().string()}}))
        << LastText();
    EXPECT_EQ(Masked(ReadFile(folder / "1.eml")), CONTENT_KOI8);
    EXPECT_EQ(ServerLog(), route.serverLog);
    const std::vector<std::string> sent = SentLines();
    EXPECT_NE(std::search(sent.begin(), sent.end(), route.loginLines.begin(), route.loginLines.end()), sent.end())
        << Trace();
    EXPECT_NE(Trace().find(" * TLS handshake done: TLSv1."), std::string::npos) << Trace();
    EXPECT_NE(Trace().find("<content: "), std::string::npos);
    ExpectNoSecretInTrace();
}

INSTANTIATE_TEST_SUITE_P(
    Routes, SecureRouteTest,
    ::testing::Values(SecureRoute{"StartTlsWithPlainLogin", {"--starttls", "--login", LOGIN + ":" + PASSWORD},
                                  "starttls", true, {"AUTH PLAIN ***", "MAIL FROM:<player@example.org> SIZE=272 BODY=8BITMIME"},
                                  "EHLO clear\nEHLO tls\nMAIL SIZE BODY=8BITMIME\n"},
                      SecureRoute{"TlsWithLoginMechanism",
                                  {"--tls", "--login", LOGIN + ":" + PASSWORD, "--no-plain"}, "tls", false,
                                  {"AUTH LOGIN", "***", "***", "MAIL FROM:<player@example.org> SIZE=272 BODY=8BITMIME"},
                                  "EHLO tls\nMAIL SIZE BODY=8BITMIME\n"},
                      // The envelope in one write, QUIT with the end of data.
                      SecureRoute{"StartTlsPipelined",
                                  {"--starttls", "--pipelining", "--login", LOGIN + ":" + PASSWORD}, "starttls", false,
                                  {"AUTH PLAIN ***", "MAIL FROM:<player@example.org> SIZE=272 BODY=8BITMIME"},
                                  "EHLO clear\nEHLO tls\nMAIL SIZE BODY=8BITMIME\n"}),
    [](const auto &row) { return std::string(row.param.name); });

TEST_F(ServerTest, WrongPasswordFailsWithTheServersReplyAndSendsNoMail)
{
    WriteNetrc("not-the-password", 0600);
    AiosmtpdServer server(folder.Path(), WithCertificate({"--starttls", "--login", LOGIN + ":" + PASSWORD}));
    EXPECT_FALSE(SendTurn(server.Address(), {{"Security", "starttls"}, {"Login", LOGIN},
                                             {"TlsCaFile", Certificates().Ca().string()}}));
    EXPECT_EQ(LastText(), "Alpha ERR: The SMTP server refused the login: 535 5.7.8 Authentication credentials invalid");
    EXPECT_EQ(ServerLog(), "EHLO clear\nEHLO tls\n");
    EXPECT_FALSE(fs::exists(folder / "1.eml"));
}

// What `morv-host check-server` asks of the plug-in, over TLS with a
// login: every step up to QUIT, and nothing of the turn.
TEST_F(ServerTest, ServerCheckOverTlsLogsInAndQuitsBeforeMail)
{
    AiosmtpdServer server(folder.Path(), WithCertificate({"--tls", "--login", LOGIN + ":" + PASSWORD}));
    EXPECT_FALSE(SendTurn(server.Address(), {{"Security", "tls"}, {"Login", LOGIN},
                                             {"TlsCaFile", Certificates().Ca().string()}, {"QuitBeforeMail", "1"}}));
    EXPECT_EQ(LastText(), "Alpha server check passed: QUIT before MAIL FROM, nothing was sent");
    EXPECT_EQ(ServerLog(), "EHLO tls\n");
    const std::vector<std::string> sent = SentLines();
    ASSERT_FALSE(sent.empty()) << Trace();
    EXPECT_EQ(sent.back(), "QUIT");
    EXPECT_NE(std::find(sent.begin(), sent.end(), "AUTH PLAIN ***"), sent.end()) << Trace();
    ExpectNoSecretInTrace();
}

// A certificate that does not name the server, or that no trusted CA
// signed, ends the connection right after the handshake.
struct RefusedCertificate {
    const char *name;
    const char *certificate;
    const char *security;
    bool trustTestCa;
    bool byName;  // ServerSMTP names localhost, not 127.0.0.1
    const char *text;
    const char *serverLog;
};

void PrintTo(const RefusedCertificate &row, std::ostream *out) { *out << row.name; }

class RefusedCertificateTest : public ServerTest, public ::testing::WithParamInterface<RefusedCertificate> {};

TEST_P(RefusedCertificateTest, EndsTheConnectionBeforeAnyCommandUnderTls)
{
    const RefusedCertificate &row = GetParam();
    const bool starttls = std::string(row.security) == "starttls";
    AiosmtpdServer server(folder.Path(), WithCertificate({starttls ? "--starttls" : "--tls"}, row.certificate));
    std::vector<std::pair<std::string, std::string>> settings{{"Security", row.security}};
    if (row.trustTestCa)
        settings.emplace_back("TlsCaFile", Certificates().Ca().string());
    const std::string name = row.byName ? "localhost" : "127.0.0.1";
    EXPECT_FALSE(SendTurn(name + ":" + std::to_string(server.Port()), settings));
    EXPECT_EQ(LastText(), "Alpha ERR: Could not verify the certificate of " + name + ": " + row.text);
    EXPECT_EQ(ServerLog(), row.serverLog);
    const std::vector<std::string> sent = SentLines();
    ASSERT_EQ(sent.size(), starttls ? 2u : 0u) << Trace();
    EXPECT_EQ(starttls ? sent.back() : "STARTTLS", "STARTTLS");
}

INSTANTIATE_TEST_SUITE_P(
    Certificates, RefusedCertificateTest,
    ::testing::Values(RefusedCertificate{"OtherName", TestCertificates::OTHER, "starttls", true, false,
                                         "IP address mismatch", "EHLO clear\n"},
                      RefusedCertificate{"OtherNameByName", TestCertificates::OTHER, "starttls", true, true,
                                         "hostname mismatch", "EHLO clear\n"},
                      RefusedCertificate{"UntrustedCa", TestCertificates::SERVER, "tls", false, false,
                                         "unable to get local issuer certificate", ""}),
    [](const auto &row) { return std::string(row.param.name); });

TEST_F(ServerTest, ServerWithoutStartTlsIsLeftWithNothingSentInTheClear)
{
    AiosmtpdServer server(folder.Path(), {"--login", LOGIN + ":" + PASSWORD});
    EXPECT_FALSE(SendTurn(server.Address(), {{"Security", "starttls"}, {"Login", LOGIN}}));
    EXPECT_EQ(LastText(), "Alpha ERR: The SMTP server 127.0.0.1 does not offer STARTTLS; nothing was sent in the clear");
    EXPECT_EQ(ServerLog(), "EHLO clear\n");
    ASSERT_EQ(SentLines().size(), 1u) << Trace();
    EXPECT_EQ(SentLines().front().rfind("EHLO ", 0), 0u);
}

// Settings that cannot work fail the turn before any connection: the
// server named is one where nothing listens (on 465 neither).
struct RefusedSettings {
    const char *name;
    std::vector<std::pair<std::string, std::string>> settings;
    mode_t netrcMode;
    const char *text;  // after "Alpha ERR: "; %s: the netrc file, %d: the refused connection's error
};

void PrintTo(const RefusedSettings &row, std::ostream *out) { *out << row.name; }

class RefusedSettingsTest : public ProviderTest, public ::testing::WithParamInterface<RefusedSettings> {};

TEST_P(RefusedSettingsTest, FailBeforeConnectingWithATextThatSaysWhy)
{
    const RefusedSettings &row = GetParam();
#if defined(_WIN32)
    if (row.netrcMode != 0600)
        GTEST_SKIP() << "files have no owner, group and others' modes on Windows";
#endif
    WriteNetrc(PASSWORD, row.netrcMode);
    EXPECT_FALSE(SendTurn("127.0.0.1:9", row.settings));
    const std::string netrc = (folder / "netrc").string();
    std::string expected = std::string("Alpha ERR: ") + row.text;
    if (const auto at = expected.find("%s"); at != std::string::npos)
        expected.replace(at, 2, netrc);
    if (const auto at = expected.find("%d"); at != std::string::npos)
        expected.replace(at, 2, std::to_string(SOCKET_CONNECTION_REFUSED));
    EXPECT_EQ(LastText(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, RefusedSettingsTest,
    ::testing::Values(
        RefusedSettings{"NetrcReadableByOthers", {{"Security", "tls"}, {"Login", LOGIN}}, 0644,
                        "The netrc file %s may be read or written by others; make it private (chmod 600) before it "
                        "is used"},
        RefusedSettings{"NoNetrcEntry", {{"Security", "starttls"}, {"Login", "someone@example.org"}}, 0600,
                        "The netrc file %s has no password for machine 127.0.0.1 with login someone@example.org"},
        RefusedSettings{"LoginWithoutSecurity", {{"Login", LOGIN}}, 0600,
                        "Login is set without Security: a password never goes in the clear, so set Security to "
                        "starttls or tls"},
        RefusedSettings{"UnknownSecurity", {{"Security", "ssl"}}, 0600,
                        "Security is \"ssl\"; it must be none, starttls or tls"},
        RefusedSettings{"RecipientNotAMailbox", {{"Security", "starttls"}, {"To", "Doe"}}, 0600,
                        "\"Doe\" is not a mail address of the form local@domain: it needs exactly one @"},
        RefusedSettings{"TlsWithoutPortGoesTo465", {{"Security", "tls"}, {"ServerSMTP", "127.0.0.1"}}, 0600,
                        "Could not connect to the SMTP server 127.0.0.1 on port 465, GetLastError returns: %d\n"}),
    [](const auto &row) { return std::string(row.param.name); });

}  // namespace
