#include "fake_socket_calls.h"
#include "platform/last_error.h"
#include "platform/ticks.h"
#include "smtp/smtp_session.h"
#include "host/loopback/loopback_smtp_server.h"

#include <gtest/gtest.h>

namespace {

constexpr DWORD SHORT_TIMEOUT = 200;

std::string Helo() { return "HELO " + CClientSocket::GetLocalHostName().str() + "\r\n"; }

// A server that greets and accepts HELO.
SmtpScript Greeted() { return SmtpScript().Reply("220 ready\r\n").ExpectLine().Reply("250 hello\r\n"); }

class SessionTest : public ::testing::Test {
protected:
    BOOL Connect(const LoopbackSmtpServer &server, DWORD timeout = SHORT_TIMEOUT)
    {
        session.m_replyTimeout = timeout;
        return session.Connect("127.0.0.1", server.Port());
    }

    CSmtpSession session;
};

TEST_F(SessionTest, GreetingAndHeloConnectAndQuitDisconnects)
{
    LoopbackSmtpServer server({Greeted().ExpectLine().Reply("221 bye\r\n")});
    ASSERT_TRUE(Connect(server));
    EXPECT_TRUE(session.IsConnected());
    EXPECT_TRUE(session.GetLastReply().IsEmpty());
    EXPECT_TRUE(session.Disconnect());
    EXPECT_FALSE(session.IsConnected());
    ASSERT_TRUE(server.WaitForConnectionEnd(0));
    EXPECT_EQ(server.Received(0), Helo() + "QUIT\r\n");
}

TEST_F(SessionTest, RefusingGreetingFailsAndStillSendsQuit)
{
    LoopbackSmtpServer server({SmtpScript().Reply("421 busy\r\n").ExpectLine().Reply("221 bye\r\n")});
    EXPECT_FALSE(Connect(server));
    EXPECT_EQ(session.GetErrorText(), "An unexpected SMTP login response was received\n");
    EXPECT_EQ(session.GetLastReply(), "421 busy");
    EXPECT_FALSE(session.IsConnected());
    ASSERT_TRUE(server.WaitForConnectionEnd(0));
    EXPECT_EQ(server.Received(0), "QUIT\r\n");
}

TEST_F(SessionTest, RefusedHeloFailsWithItsOwnText)
{
    LoopbackSmtpServer server({SmtpScript().Reply("220 ready\r\n").ExpectLine().Reply("501 who?\r\n")});
    EXPECT_FALSE(Connect(server));
    EXPECT_EQ(session.GetErrorText(), "An unexpected HELO response was received\n");
}

TEST_F(SessionTest, SilentServerFailsAfterTwoTimeOuts)
{
    LoopbackSmtpServer server({SmtpScript().StaySilent()});
    const DWORD start = GetTickCount();
    EXPECT_FALSE(Connect(server));
    EXPECT_GE(GetTickCount() - start, 2 * SHORT_TIMEOUT);
    EXPECT_EQ(GetLastError(), ERROR_BAD_COMMAND);
    EXPECT_EQ(session.GetErrorText(), "An unexpected SMTP login response was received\n");
    ASSERT_TRUE(server.WaitForConnectionEnd(0));
    EXPECT_EQ(server.Received(0), "QUIT\r\n");
}

TEST_F(SessionTest, UnresolvableServerNamesTheLookupFailure)
{
    EXPECT_FALSE(session.Connect("no-such-host.invalid", 25));
    EXPECT_EQ(session.GetErrorText(),
              "Could not connect to the SMTP server no-such-host.invalid on port 25, GetLastError returns: 10022\n");
    EXPECT_FALSE(session.Disconnect());
}

// The name the client gives: the machine's own when it is a domain (HELO)
// or a fully qualified one (EHLO, to a provider); else its address.
struct ClientNameCase {
    const char *name;
    SmtpSecurity security;
    const char *hostName;
    const char *firstLine;
};

void PrintTo(const ClientNameCase &row, std::ostream *out) { *out << row.name; }

class ClientNameTest : public SessionTest, public ::testing::WithParamInterface<ClientNameCase> {};

TEST_P(ClientNameTest, IsTheHostNameOnlyWhereItIsValid)
{
    FakeSocketCalls calls(true);
    calls.State().hostName = GetParam().hostName;
    LoopbackSmtpServer server({Greeted().ExpectLine().Reply("221 bye\r\n")});
    session.SetSecurity(GetParam().security);
    Connect(server);
    session.Disconnect();
    ASSERT_TRUE(server.WaitForConnectionEnd(0));
    const std::string firstLine = GetParam().firstLine;
    EXPECT_EQ(server.Received(0).substr(0, firstLine.size()), firstLine);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ClientNameTest,
    ::testing::Values(ClientNameCase{"Domain", SmtpSecurity::None, "vm", "HELO vm\r\n"},
                      ClientNameCase{"Underscore", SmtpSecurity::None, "my_pc", "HELO [127.0.0.1]\r\n"},
                      ClientNameCase{"NotQualified", SmtpSecurity::StartTls, "vm", "EHLO [127.0.0.1]\r\n"},
                      ClientNameCase{"Qualified", SmtpSecurity::StartTls, "vm.example.org", "EHLO vm.example.org\r\n"},
                      ClientNameCase{"Numbers", SmtpSecurity::StartTls, "10.0.0.1", "EHLO [127.0.0.1]\r\n"}),
    [](const auto &row) { return std::string(row.param.name); });

// Greetings that must be read whole, however they are cut, and leave the
// conversation in step (HELO and QUIT answered as sent).
struct GreetingCase {
    const char *name;
    SmtpScript greeting;
};

// The test name and the CTest name show the case, not its bytes.
void PrintTo(const GreetingCase &row, std::ostream *out) { *out << row.name; }

class GreetingFramingTest : public SessionTest, public ::testing::WithParamInterface<GreetingCase> {};

TEST_P(GreetingFramingTest, IsReadWholeAndKeepsTheDialogueInStep)
{
    SmtpScript script = GetParam().greeting;
    LoopbackSmtpServer server({script.ExpectLine().Reply("250 hello\r\n").ExpectLine().Reply("221 bye\r\n")});
    ASSERT_TRUE(Connect(server)) << session.GetErrorText();
    EXPECT_TRUE(session.Disconnect()) << session.GetLastReply();
}

INSTANTIATE_TEST_SUITE_P(
    Splits, GreetingFramingTest,
    ::testing::Values(GreetingCase{"Pieces", SmtpScript().ReplyInPieces({"22", "0 ready\r\n"}, 30)},
                      GreetingCase{"ByteByByte", SmtpScript().Dribble("220 ready\r\n", 3)},
                      GreetingCase{"CrLfSplit", SmtpScript().ReplyInPieces({"220 ready\r", "\n"}, 30)},
                      GreetingCase{"TwoLinesOneSegment", SmtpScript().Reply("220-hello\r\n220 ready\r\n")},
                      GreetingCase{"TwoLinesTwoSegments",
                                   SmtpScript().ReplyInPieces({"220-hello\r\n", "220 ready\r\n"}, 30)},
                      GreetingCase{"LinesCutAnywhere", SmtpScript().ReplyInPieces(
                                                           {"220-hel", "lo\r\n220-x\r", "\n220 re", "ady\r\n"}, 20)}),
    [](const auto &row) { return std::string(row.param.name); });

TEST_F(SessionTest, SecondReplyInTheSameSegmentIsKeptForTheNextRead)
{
    LoopbackSmtpServer server({SmtpScript().Reply("220 ready\r\n250 hello\r\n").ExpectLine().ExpectLine().Reply(
        "221 bye\r\n")});
    ASSERT_TRUE(Connect(server));
    EXPECT_TRUE(session.Disconnect());
}

TEST_F(SessionTest, LongReplyGrowsTheBufferAndKeepsItsInnerLineEnds)
{
    const std::string line = "550-" + std::string(296, 'x') + "\r\n";
    LoopbackSmtpServer server({Greeted().Reply(line + "550 end\r\n").ExpectLine().Reply("221 bye\r\n")});
    ASSERT_TRUE(Connect(server));
    EXPECT_FALSE(session.ExpectReply(250));
    EXPECT_EQ(GetLastError(), WSAEPROTONOSUPPORT);
    EXPECT_EQ(session.m_replyCode, 550);
    EXPECT_EQ(session.GetLastReply().str(), line + "550 end");
}

// Replies that must fail as soon as they are complete, whatever came before.
class MalformedReplyTest : public SessionTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(MalformedReplyTest, FailsWithoutTakingAnEarlierCode)
{
    LoopbackSmtpServer server({Greeted().Reply(GetParam())});
    ASSERT_TRUE(Connect(server));
    EXPECT_FALSE(session.ExpectReply(250));
    EXPECT_EQ(GetLastError(), WSAEPROTONOSUPPORT);
    EXPECT_EQ(session.m_replyCode, 0);
    const std::string reply = GetParam().substr(0, GetParam().size() - 2);
    EXPECT_EQ(session.GetErrorText().str(), "The SMTP server sent a malformed reply: " + reply);
    EXPECT_EQ(session.GetLastReply().str(), reply);
}

INSTANTIATE_TEST_SUITE_P(Replies, MalformedReplyTest,
                         ::testing::Values("garbage\r\n", "2500 ok\r\n", " 250 ok\r\n", "25\r\n", "250ok\r\n",
                                           "250-ok\r\n550 no\r\n", "250-ok\r\nno code\r\n",
                                           std::string("2\0" "50 ok\r\n", 9)));

TEST_F(SessionTest, ServerClosingMidReplyFailsAtOnce)
{
    LoopbackSmtpServer server({Greeted().Reply("250 par").Close()});
    ASSERT_TRUE(Connect(server, 30000));
    const DWORD start = GetTickCount();
    EXPECT_FALSE(session.ExpectReply(250));
    EXPECT_EQ(GetLastError(), WSAECONNRESET);
    EXPECT_EQ(session.GetLastReply(), "250 par");
    EXPECT_LT(GetTickCount() - start, 10000U);
}

struct FloodCase {
    const char *name;
    std::string chunk;
};

void PrintTo(const FloodCase &row, std::ostream *out) { *out << row.name; }

class ReplyFloodTest : public SessionTest, public ::testing::WithParamInterface<FloodCase> {};

TEST_P(ReplyFloodTest, EndlessReplyFailsPastTheCap)
{
    std::string flood;
    while (flood.size() <= CReplyReader::MAX_REPLY_LENGTH + 8192)
        flood += GetParam().chunk;
    LoopbackSmtpServer server({Greeted().Reply(flood)});
    ASSERT_TRUE(Connect(server, 30000));
    EXPECT_FALSE(session.ExpectReply(250));
    EXPECT_EQ(GetLastError(), WSAEMSGSIZE);
    EXPECT_EQ(session.GetErrorText(), SMTP_REPLY_TOO_LONG_TEXT);
}

INSTANTIATE_TEST_SUITE_P(Floods, ReplyFloodTest,
                         ::testing::Values(FloodCase{"NoLineEnd", std::string(1000, 'x')},
                                           FloodCase{"EndlessContinuation", "250-more\r\n"}),
                         [](const auto &row) { return std::string(row.param.name); });

// A reply that arrives a byte at a time never lets the silence run out;
// the limit on the whole reply still ends it.
TEST_F(SessionTest, TricklingReplyFailsAtTheReplyLimit)
{
    LoopbackSmtpServer server({Greeted().Dribble("250 " + std::string(40, 'x') + "\r\n", 50)});
    ASSERT_TRUE(Connect(server, 2000));
    session.m_replyLimit = 300;
    EXPECT_FALSE(session.ExpectReply(250));
    EXPECT_EQ(GetLastError(), WSAETIMEDOUT);
    EXPECT_EQ(session.GetLastReply().Left(4), "250 ");
}

TEST_F(SessionTest, ReplyThatNeverComesSaysSoWithItsBound)
{
    LoopbackSmtpServer server({Greeted().StaySilent()});
    ASSERT_TRUE(Connect(server));
    EXPECT_FALSE(session.ExpectReply(250));
    EXPECT_EQ(GetLastError(), WSAETIMEDOUT);
    EXPECT_EQ(session.GetErrorText(), "No reply from the SMTP server within 1 seconds");
}

}  // namespace
