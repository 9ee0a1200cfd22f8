// A session that asked for TLS or a login, against servers that fall short:
// it stops at once and says why, and what went over the wire in the clear
// is exactly what was allowed. Then a session under TLS that must read
// decrypted bytes before it waits on the socket again.
#include "platform/last_error.h"
#include "smtp/smtp_session.h"
#include "host/loopback/loopback_smtp_server.h"
#include "support/test_certificates.h"
#include "tls_test_server.h"

#include <gtest/gtest.h>

namespace {

std::string Ehlo() { return "EHLO " + CClientSocket::GetLocalHostName().str() + "\r\n"; }

// A server that greets and reads EHLO.
SmtpScript Greeted() { return SmtpScript().Reply("220 ready\r\n").ExpectLine(); }

struct ShortServer {
    const char *name;
    SmtpSecurity security;
    bool login;
    SmtpScript script;
    std::string received;  // after EHLO
    const char *text;
};

// The test name and the CTest name show the case, not its bytes.
void PrintTo(const ShortServer &row, std::ostream *out) { *out << row.name; }

class ShortServerTest : public ::testing::TestWithParam<ShortServer> {};

TEST_P(ShortServerTest, StopsSendingNothingItShouldNot)
{
    const ShortServer &row = GetParam();
    LoopbackSmtpServer server({row.script});
    CSmtpSession session;
    session.m_replyTimeout = 200;
    session.SetSecurity(row.security);
    if (row.login)
        session.SetLogin("me@example.org", "secret");
    EXPECT_FALSE(session.Connect("127.0.0.1", server.Port()));
    EXPECT_EQ(session.GetErrorText(), row.text);
    ASSERT_TRUE(server.WaitForConnectionEnd(0));
    EXPECT_EQ(server.Received(0), Ehlo() + row.received);
}

INSTANTIATE_TEST_SUITE_P(
    Servers, ShortServerTest,
    ::testing::Values(
        ShortServer{"NoStartTls", SmtpSecurity::StartTls, true,
                    Greeted().Reply("250-mx.test\r\n250-AUTH PLAIN\r\n250 8BITMIME\r\n").ExpectLine(), "",
                    "The SMTP server 127.0.0.1 does not offer STARTTLS; nothing was sent in the clear"},
        ShortServer{"StartTlsRefused", SmtpSecurity::StartTls, false,
                    Greeted().Reply("250-mx.test\r\n250 STARTTLS\r\n").ExpectLine().Reply("454 4.7.0 not now\r\n")
                        .ExpectLine(),
                    "STARTTLS\r\n", "The SMTP server refused STARTTLS: 454 4.7.0 not now"},
        ShortServer{"RepliesInjectedBeforeTls", SmtpSecurity::StartTls, false,
                    Greeted().Reply("250-mx.test\r\n250 STARTTLS\r\n").ExpectLine().Reply("220 go\r\n250 AUTH PLAIN\r\n")
                        .ExpectLine(),
                    "STARTTLS\r\n", "The SMTP server 127.0.0.1 sent data before the TLS handshake"},
        ShortServer{"LoginWithoutTls", SmtpSecurity::None, true,
                    Greeted().Reply("250-mx.test\r\n250 AUTH PLAIN LOGIN\r\n").ExpectLine().Reply("221 bye\r\n"),
                    "QUIT\r\n", "A login is only sent over TLS"}),
    [](const auto &row) { return std::string(row.param.name); });

// A greeting far longer than one read, in one TLS record: what TLS has
// decrypted but not handed over yet announces itself on no socket.
TEST(TlsSessionTest, LongReplyInOneRecordIsReadWithoutWaitingOnTheSocket)
{
    const TestCertificates &certificates = TestCertificates::Shared();
    if (!certificates.Made())
        GTEST_SKIP() << "the openssl command could not make the test certificates";
    std::string greeting;
    for (int line = 0; line < 20; ++line)
        greeting += "220-" + std::string(60, 'a' + line) + "\r\n";
    TlsTestServer server(certificates.Certificate(TestCertificates::SERVER), certificates.Key(TestCertificates::SERVER),
                         {greeting + "220 ready\r\n", "250-mx.test\r\n250 AUTH LOGIN\r\n", "221 bye\r\n"});
    CSmtpSession session;
    session.m_replyTimeout = 2000;
    session.m_replyLimit = 2000;
    session.SetSecurity(SmtpSecurity::Tls, certificates.Ca().c_str());
    ASSERT_TRUE(session.Connect("127.0.0.1", server.Port())) << session.GetErrorText();
    EXPECT_TRUE(session.Disconnect()) << session.GetErrorText();
}

}  // namespace
