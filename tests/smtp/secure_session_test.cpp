// A session that asked for TLS or a login, against servers that fall short:
// it stops at once and says why, and what went over the wire in the clear
// is exactly what was allowed. Then sessions under TLS: one that must read
// decrypted bytes before it waits on the socket again, the pace of a mail
// provider's servers, which may think long before a reply, and commands in
// groups where the server takes them so.
#include "fake_socket_calls.h"
#include "platform/last_error.h"
#include "smtp/mail_content.h"
#include "smtp/sasl_encoding.h"
#include "smtp/smtp_session.h"
#include "host/loopback/loopback_smtp_server.h"
#include "support/temp_folder.h"
#include "support/test_certificates.h"
#include "tls_test_server.h"

#include <gtest/gtest.h>

namespace {

const std::string EHLO = "EHLO client.example.org\r\n";

// Stands for "127.0.0.1:PORT" in the texts below.
constexpr std::string_view SERVER = "{server}";

std::string WithServer(std::string text, unsigned short port)
{
    if (const auto at = text.find(SERVER); at != std::string::npos)
        text.replace(at, SERVER.size(), "127.0.0.1:" + std::to_string(port));
    return text;
}

// A server that greets and reads EHLO.
SmtpScript Greeted() { return SmtpScript().Reply("220 ready\r\n").ExpectLine(); }

// Sessions whose machine is called client.example.org.
class ProviderSessionTest : public ::testing::Test {
protected:
    void SetUp() override { calls.State().hostName = "client.example.org"; }

    FakeSocketCalls calls{true};
    CSmtpSession session;
};

struct ShortServer {
    const char *name;
    SmtpSecurity security;
    bool login;
    SmtpScript script;
    std::string received;
    const char *text;
};

// The test name and the CTest name show the case, not its bytes.
void PrintTo(const ShortServer &row, std::ostream *out) { *out << row.name; }

class ShortServerTest : public ProviderSessionTest, public ::testing::WithParamInterface<ShortServer> {};

TEST_P(ShortServerTest, StopsSendingNothingItShouldNot)
{
    const ShortServer &row = GetParam();
    LoopbackSmtpServer server({row.script});
    session.m_replyTimeout = 100;
    session.m_replyLimit = 300;
    session.SetSecurity(row.security);
    if (row.login)
        session.SetLogin("me@example.org", "secret");
    EXPECT_FALSE(session.Connect("127.0.0.1", server.Port()));
    EXPECT_EQ(session.GetErrorText().str(), WithServer(row.text, server.Port()));
    ASSERT_TRUE(server.WaitForConnectionEnd(0));
    EXPECT_EQ(server.Received(0), row.received);
}

INSTANTIATE_TEST_SUITE_P(
    Servers, ShortServerTest,
    ::testing::Values(
        ShortServer{"NoStartTls", SmtpSecurity::StartTls, true,
                    Greeted().Reply("250-mx.test\r\n250-AUTH PLAIN\r\n250 8BITMIME\r\n").ExpectLine(), EHLO,
                    "The SMTP server 127.0.0.1 does not offer STARTTLS; nothing was sent in the clear"},
        ShortServer{"StartTlsRefused", SmtpSecurity::StartTls, false,
                    Greeted().Reply("250-mx.test\r\n250 STARTTLS\r\n").ExpectLine().Reply("454 4.7.0 not now\r\n")
                        .ExpectLine(),
                    EHLO + "STARTTLS\r\n", "The SMTP server refused STARTTLS: 454 4.7.0 not now"},
        ShortServer{"RepliesInjectedBeforeTls", SmtpSecurity::StartTls, false,
                    Greeted().Reply("250-mx.test\r\n250 STARTTLS\r\n").ExpectLine().Reply("220 go\r\n250 AUTH PLAIN\r\n")
                        .ExpectLine(),
                    EHLO + "STARTTLS\r\n", "The SMTP server 127.0.0.1 sent data before the TLS handshake"},
        ShortServer{"LoginWithoutTls", SmtpSecurity::None, true,
                    Greeted().Reply("250-mx.test\r\n250 AUTH PLAIN LOGIN\r\n").ExpectLine().Reply("221 bye\r\n"),
                    EHLO + "QUIT\r\n", "A login is only sent over TLS"},
        // What did not come is named as such, and QUIT would be read as
        // the answer to the command still pending: none is sent.
        ShortServer{"NoGreetingForStartTls", SmtpSecurity::StartTls, false, SmtpScript().StaySilent(), "",
                    "The SMTP server {server} sent no greeting within 1 s; if it expects TLS from the first byte, "
                    "set Security=tls"},
        ShortServer{"NoReplyToEhlo", SmtpSecurity::StartTls, false, Greeted().StaySilent(), EHLO,
                    "No reply to EHLO from {server} within 1 s"},
        ShortServer{"NoReplyToStartTls", SmtpSecurity::StartTls, false,
                    Greeted().Reply("250-mx.test\r\n250 STARTTLS\r\n").StaySilent(), EHLO + "STARTTLS\r\n",
                    "No reply to STARTTLS from {server} within 1 s"},
        ShortServer{"EhloRefused", SmtpSecurity::StartTls, false,
                    Greeted().Reply("504 5.5.2 need fully-qualified hostname\r\n").ExpectLine(), EHLO,
                    "The SMTP server refused EHLO: 504 5.5.2 need fully-qualified hostname"}),
    [](const auto &row) { return std::string(row.param.name); });

class TlsSessionTest : public ProviderSessionTest {
protected:
    void SetUp() override
    {
        if (!Certificates().Made())
            GTEST_SKIP() << "the openssl command could not make the test certificates";
        ProviderSessionTest::SetUp();
        session.SetSecurity(SmtpSecurity::Tls, Certificates().Ca().string().c_str());
    }

    static const TestCertificates &Certificates() { return TestCertificates::Shared(); }
    std::unique_ptr<TlsTestServer> Serve(std::vector<TlsReply> replies) const
    {
        return std::make_unique<TlsTestServer>(Certificates().Certificate(TestCertificates::SERVER),
                                               Certificates().Key(TestCertificates::SERVER), std::move(replies));
    }
};

// A greeting far longer than one read, in one TLS record: what TLS has
// decrypted but not handed over yet announces itself on no socket.
TEST_F(TlsSessionTest, LongReplyInOneRecordIsReadWithoutWaitingOnTheSocket)
{
    std::string greeting;
    for (int line = 0; line < 20; ++line)
        greeting += "220-" + std::string(60, 'a' + line) + "\r\n";
    const auto server = Serve({greeting + "220 ready\r\n", "250-mx.test\r\n250 AUTH LOGIN\r\n", "221 bye\r\n"});
    session.m_replyLimit = 2000;
    ASSERT_TRUE(session.Connect("127.0.0.1", server->Port())) << session.GetErrorText();
    EXPECT_TRUE(session.Disconnect()) << session.GetErrorText();
}

// A provider's server may keep silent far longer than the plain dialogue
// allows (a refused login is held back on purpose; a greeting behind a
// filter comes late): only the bound on the whole reply counts. Here the
// silence allowed is 100 ms, the pauses 300 ms and the bound 1 s.
struct PacedServer {
    const char *name;
    TlsReply greeting;
    TlsReply loginReply;
    bool connects;
    const char *text;
    bool quits;
};

void PrintTo(const PacedServer &row, std::ostream *out) { *out << row.name; }

class PacedServerTest : public TlsSessionTest, public ::testing::WithParamInterface<PacedServer> {};

TEST_P(PacedServerTest, TakesItsTimeWithinTheReplyBound)
{
    const PacedServer &row = GetParam();
    const auto server = Serve({row.greeting, "250-mx.test\r\n250 AUTH PLAIN\r\n", row.loginReply, "221 bye\r\n"});
    session.m_replyTimeout = 100;
    session.m_replyLimit = 1000;
    session.SetLogin("me@example.org", "secret");
    EXPECT_EQ(session.Connect("127.0.0.1", server->Port()), row.connects ? TRUE : FALSE);
    EXPECT_EQ(session.GetErrorText().str(), WithServer(row.text, server->Port()));
    session.Disconnect();
    const std::string login = EHLO + "AUTH PLAIN " + PlainCredentials("me@example.org", "secret") + "\r\n";
    EXPECT_EQ(server->Received(), login + (row.quits ? "QUIT\r\n" : ""));
}

INSTANTIATE_TEST_SUITE_P(
    Pauses, PacedServerTest,
    ::testing::Values(
        PacedServer{"LateGreeting", {"220 ready\r\n", 300}, {"235 2.7.0 ok\r\n"}, true, "", true},
        PacedServer{"LateLoginAccepted", {"220 ready\r\n"}, {"235 2.7.0 ok\r\n", 300}, true, "", true},
        PacedServer{"LateLoginRefused", {"220 ready\r\n"}, {"535 5.7.8 bad credentials\r\n", 300}, false,
                    "The SMTP server refused the login: 535 5.7.8 bad credentials", true},
        PacedServer{"LoginNeverAnswered", {"220 ready\r\n"}, {"235 2.7.0 too late\r\n", 60000}, false,
                    "No reply to AUTH from {server} within 1 s", false}),
    [](const auto &row) { return std::string(row.param.name); });

// The size goes with MAIL FROM where the server takes it, and a server that
// wants a login first has the player told to set one.
TEST_F(TlsSessionTest, MailFromDeclaresTheSizeAndARefusalForWantOfALoginSaysWhatToSet)
{
    const auto server = Serve({"220 ready\r\n", "250-mx.test\r\n250-SIZE 1000\r\n250 8BITMIME\r\n",
                               "530 5.7.0 Authentication required\r\n", "221 bye\r\n"});
    CMailMessage message;
    message.m_from = CMailAddress(CString("me@example.org"));
    message.m_subject = "Turn";
    message.ParseAddressList("srv@example.org", ADDRESS_TO);
    message.SetBody("turn");
    const std::string content = "From: me@example.org\r\nTo: srv@example.org\r\nSubject: Turn\r\n\r\nturn";
    ASSERT_TRUE(session.Connect("127.0.0.1", server->Port())) << session.GetErrorText();
    EXPECT_FALSE(session.SendMail(message));
    EXPECT_EQ(session.GetErrorText(), "The SMTP server takes mail only after a login: 530 5.7.0 Authentication "
                                      "required; set Login, with its password in the netrc file");
    session.Disconnect();
    EXPECT_EQ(server->Received(), EHLO + "MAIL FROM:<me@example.org> SIZE=" + std::to_string(content.size()) +
                                      " BODY=8BITMIME\r\nQUIT\r\n");
}

// Each read of the server takes one TLS record, that is one write of the
// client: the tests below see how the commands were grouped.
CMailMessage Turn(const char *recipients)
{
    CMailMessage message;
    message.m_from = CMailAddress(CString("me@example.org"));
    message.m_subject = "Turn";
    message.ParseAddressList(recipients, ADDRESS_TO);
    message.SetBody("turn");
    return message;
}

std::string ContentOf(const CMailMessage &message)
{
    const CMailContent pieces(message);
    std::string content;
    for (const std::string_view piece : pieces.Pieces())
        content += piece;
    return content;
}

const std::string MAIL_FROM = "MAIL FROM:<me@example.org>\r\n";
const std::string RCPT_A = "RCPT TO:<a@example.org>\r\n";
const std::string RCPT_B = "RCPT TO:<b@example.org>\r\n";
const char *const PIPELINING_EHLO = "250-mx.test\r\n250 PIPELINING\r\n";

TEST_F(TlsSessionTest, PipeliningSendsTheEnvelopeInOneWriteAndQuitWithTheEndOfData)
{
    const TempFolder folder;
    session.TraceTo((folder / "trace").string().c_str());
    const auto server = Serve({"220 ready\r\n", PIPELINING_EHLO, "250 ok\r\n250 ok\r\n250 ok\r\n354 go\r\n",
                               "250 queued\r\n221 bye\r\n"});
    const CMailMessage message = Turn("a@example.org, b@example.org");
    ASSERT_TRUE(session.Connect("127.0.0.1", server->Port())) << session.GetErrorText();
    EXPECT_TRUE(session.SendMail(message)) << session.GetErrorText();
    EXPECT_TRUE(session.Disconnect());
    EXPECT_EQ(server->Reads(), (std::vector<std::string>{EHLO, MAIL_FROM + RCPT_A + RCPT_B + "DATA\r\n",
                                                          ContentOf(message) + "\r\n.\r\nQUIT\r\n"}));
    const std::string trace = ReadTextFile(folder / "trace");
    EXPECT_NE(trace.find("* pipelined: 4 commands in one write\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("> RCPT TO:<b@example.org>\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("* pipelined: the content, the end of data and QUIT in one write\n"), std::string::npos);
}

TEST_F(TlsSessionTest, WithoutPipeliningEachCommandWaitsForItsReply)
{
    const auto server = Serve({"220 ready\r\n", "250-mx.test\r\n250 SIZE\r\n", "250 ok\r\n", "250 ok\r\n",
                               "354 go\r\n", "250 queued\r\n", "221 bye\r\n"});
    const CMailMessage message = Turn("a@example.org");
    const std::string content = ContentOf(message);
    ASSERT_TRUE(session.Connect("127.0.0.1", server->Port())) << session.GetErrorText();
    EXPECT_TRUE(session.SendMail(message)) << session.GetErrorText();
    EXPECT_TRUE(session.Disconnect());
    EXPECT_EQ(server->Reads(),
              (std::vector<std::string>{EHLO, "MAIL FROM:<me@example.org> SIZE=" + std::to_string(content.size()) + "\r\n",
                                        RCPT_A, "DATA\r\n", content + "\r\n.\r\n", "QUIT\r\n"}));
}

// A refusal in the group says what the refusal one command at a time says,
// and nothing is delivered: DATA taken after a refusal gets a lone end of
// data when no recipient was taken, or else the connection is closed
// before the end of data. A reply that does not come leaves QUIT unsaid.
struct GroupRefusal {
    const char *name;
    const char *recipients;
    std::vector<TlsReply> replies;  // to the group and after it
    std::vector<std::string> afterGroup;
    const char *text;
};

void PrintTo(const GroupRefusal &row, std::ostream *out) { *out << row.name; }

class GroupRefusalTest : public TlsSessionTest, public ::testing::WithParamInterface<GroupRefusal> {};

TEST_P(GroupRefusalTest, SaysWhatTheFirstRefusalSaysAndDeliversNothing)
{
    const GroupRefusal &row = GetParam();
    std::vector<TlsReply> replies{"220 ready\r\n", PIPELINING_EHLO};
    replies.insert(replies.end(), row.replies.begin(), row.replies.end());
    const auto server = Serve(replies);
    session.m_replyLimit = 300;
    const CMailMessage message = Turn(row.recipients);
    ASSERT_TRUE(session.Connect("127.0.0.1", server->Port())) << session.GetErrorText();
    EXPECT_FALSE(session.SendMail(message));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_COMMAND));
    EXPECT_EQ(session.GetErrorText().str(), WithServer(row.text, server->Port()));
    session.Disconnect();
    std::vector<std::string> reads = server->Reads();
    ASSERT_GE(reads.size(), 2U);
    reads.erase(reads.begin(), reads.begin() + 2);
    EXPECT_EQ(reads, row.afterGroup);
}

INSTANTIATE_TEST_SUITE_P(
    Groups, GroupRefusalTest,
    ::testing::Values(
        GroupRefusal{"SenderWantsALogin", "a@example.org",
                     {"530 5.7.0 Authentication required\r\n503 5.5.1 MAIL first\r\n503 5.5.1 RCPT first\r\n",
                      "221 bye\r\n"},
                     {"QUIT\r\n"},
                     "The SMTP server takes mail only after a login: 530 5.7.0 Authentication required; set Login, "
                     "with its password in the netrc file"},
        GroupRefusal{"RecipientAndDataRefused", "a@example.org",
                     {"250 ok\r\n550 5.1.1 no such user\r\n554 5.5.1 no valid recipients\r\n", "221 bye\r\n"},
                     {"QUIT\r\n"}, "550 5.1.1 no such user"},
        GroupRefusal{"DataTakenWithNoRecipient", "a@example.org",
                     {"250 ok\r\n550 5.1.1 no such user\r\n354 go\r\n", "554 5.5.1 no valid recipients\r\n",
                      "221 bye\r\n"},
                     {".\r\n", "QUIT\r\n"}, "550 5.1.1 no such user"},
        GroupRefusal{"DataTakenAfterOneOfTwoRecipientsWasRefused", "a@example.org, b@example.org",
                     {"250 ok\r\n250 ok\r\n550 5.1.1 no such user\r\n354 go\r\n"}, {}, "550 5.1.1 no such user"},
        GroupRefusal{"DataRefused", "a@example.org", {"250 ok\r\n250 ok\r\n451 4.3.0 try later\r\n", "221 bye\r\n"},
                     {"QUIT\r\n"}, "451 4.3.0 try later"},
        GroupRefusal{"NoReplyToData", "a@example.org", {"250 ok\r\n250 ok\r\n"}, {},
                     "No reply to DATA from {server} within 1 s"}),
    [](const auto &row) { return std::string(row.param.name); });

}  // namespace
