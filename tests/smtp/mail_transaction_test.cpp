#include "fake_socket_calls.h"
#include "platform/last_error.h"
#include "smtp/smtp_session.h"
#include "host/loopback/loopback_smtp_server.h"
#include "smtp/system_sockets.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

std::string Helo() { return "HELO " + CClientSocket::GetLocalHostName().str() + "\r\n"; }

// A message from a@x to b@y with the subject "Hi".
CMailMessage Simple(const char *body)
{
    CMailMessage message;
    message.m_from = CMailAddress(CString("a@x"));
    message.m_subject = "Hi";
    message.ParseAddressList("b@y", ADDRESS_TO);
    message.SetBody(body);
    return message;
}

class TransactionTest : public ::testing::Test {
protected:
    explicit TransactionTest(WellBehavedSmtp behaviour = {}) : server(std::move(behaviour)) {}

    // Connects, sends and disconnects; the result of SendMail, with its last
    // error in `sendError` and Disconnect's in `disconnectError`.
    BOOL Deliver(const CMailMessage &message)
    {
        session.m_replyTimeout = LoopbackSmtpServer::WAIT_MS;
        if (!session.Connect("127.0.0.1", server.Port()))
            return FALSE;
        const BOOL sent = session.SendMail(message);
        sendError = GetLastError();
        session.Disconnect();
        disconnectError = GetLastError();
        EXPECT_TRUE(server.WaitForConnectionEnd(0));
        return sent;
    }

    std::string Transcript() const { return server.Received(0).substr(Helo().size()); }

    LoopbackSmtpServer server;
    CSmtpSession session;
    DWORD sendError = 0;
    DWORD disconnectError = 0;  // read before anything else may change it
};

TEST_F(TransactionTest, OneRecipientMessageGoesOutByteForByte)
{
    ASSERT_TRUE(Deliver(Simple("Hello")));
    EXPECT_EQ(server.Received(0), Helo() + "MAIL FROM:<a@x>\r\nRCPT TO:<b@y>\r\nDATA\r\n"
                                           "From: a@x\r\nTo: b@y\r\nSubject: Hi\r\n\r\nHello\r\n.\r\nQUIT\r\n");
    EXPECT_TRUE(session.GetErrorText().IsEmpty());
}

// The server wakes once for the content and its end of data.
TEST_F(TransactionTest, ContentAndItsEndOfDataLeaveInOneWrite)
{
    FakeSocketCalls fake(true);
    ASSERT_TRUE(Deliver(Simple("Hello")));
    EXPECT_EQ(fake.State().writes,
              (std::vector<std::string>{Helo(), "MAIL FROM:<a@x>\r\n", "RCPT TO:<b@y>\r\n", "DATA\r\n",
                                        "From: a@x\r\nTo: b@y\r\nSubject: Hi\r\n\r\nHello\r\n.\r\n", "QUIT\r\n"}));
}

TEST_F(TransactionTest, BccIsEnvelopeOnlyAndRecipientsKeepTheirOrder)
{
    CMailMessage message = Simple("x");
    message.ParseAddressList("Carol <c@z>", ADDRESS_TO);
    message.ParseAddressList("d@w", ADDRESS_BCC);
    ASSERT_TRUE(Deliver(message));
    EXPECT_EQ(Transcript(), "MAIL FROM:<a@x>\r\nRCPT TO:<b@y>\r\nRCPT TO:<c@z>\r\nRCPT TO:<d@w>\r\nDATA\r\n"
                            "From: a@x\r\nTo: b@y,Carol <c@z>\r\nSubject: Hi\r\n\r\nx\r\n.\r\nQUIT\r\n");
}

TEST_F(TransactionTest, TwoAttachmentsMakeThreePartsAndOneClosingDelimiter)
{
    CMailMessage message = Simple("See files");
    CMailAttachment first, second;
    first.m_name = first.m_fileName = "a.txt";
    first.m_data = "QUJD";
    first.m_length = 4;
    second.m_name = "b c;d";
    second.m_fileName = "empty";
    message.m_attachments = {&first, &second};
    ASSERT_TRUE(Deliver(message));
    const std::string head = "\r\n\r\n--#BOUNDARY#\r\nContent-Type: application/octet-stream; name=";
    EXPECT_EQ(server.Messages(),
              std::vector<std::string>{
                  "From: a@x\r\nTo: b@y\r\nSubject: Hi\r\nMIME-Version: 1.0\r\n"
                  "Content-type: multipart/mixed; boundary=\"#BOUNDARY#\"\r\n\r\n"
                  "\r\n--#BOUNDARY#\r\nContent-Type: text/plain; charset=us-ascii\r\n"
                  "Content-Transfer-Encoding: quoted-printable\r\n\r\nSee files" +
                  head + "a.txt\r\nContent-Transfer-Encoding: base64\r\n"
                         "Content-Disposition: attachment; filename=a.txt\r\n\r\nQUJD" +
                  head + "b c;d\r\nContent-Transfer-Encoding: base64\r\n"
                         "Content-Disposition: attachment; filename=empty\r\n\r\n"
                         "\r\n--#BOUNDARY#--\r\n"});
}

TEST_F(TransactionTest, ShortAndInterruptedWritesStillDeliverTheWholeMessage)
{
    FakeSocketCalls fake(true);
    for (int i = 0; i < 200; ++i)
        fake.State().sendPlan.insert(fake.State().sendPlan.end(), {7, -SOCKET_INTERRUPTED, 1});
    CMailMessage message = Simple(std::string(500, 'z').c_str());
    ASSERT_TRUE(Deliver(message));
    EXPECT_EQ(server.Messages(),
              std::vector<std::string>{"From: a@x\r\nTo: b@y\r\nSubject: Hi\r\n\r\n" + std::string(500, 'z') + "\r\n"});
}

// Content after the header block: the body as it arrives, without the
// end-of-data line.
class BodyOnTheWireTest : public TransactionTest, public ::testing::WithParamInterface<std::pair<const char *, const char *>> {};

TEST_P(BodyOnTheWireTest, ArrivesWholeBeforeTheEndOfData)
{
    ASSERT_TRUE(Deliver(Simple(GetParam().first)));
    EXPECT_EQ(server.Messages(), std::vector<std::string>{"From: a@x\r\nTo: b@y\r\nSubject: Hi\r\n\r\n" +
                                                          std::string(GetParam().second)});
}

INSTANTIATE_TEST_SUITE_P(Bodies, BodyOnTheWireTest,
                         ::testing::Values(std::pair{"", "\r\n"}, std::pair{"last line\r\n", "last line\r\n\r\n"},
                                           std::pair{".\n.\r\nRSET\r\n.\rx", "..\r\n..\r\nRSET\r\n..\r\nx\r\n"}));

class HeldServerTest : public TransactionTest {
protected:
    HeldServerTest() : TransactionTest(WellBehavedSmtp{{}, "END"}) {}
};

TEST_F(HeldServerTest, ReleasedServerCompletesTheDelivery)
{
    std::thread releaser([&] {
        if (server.WaitUntilHeld())
            server.Release();
    });
    EXPECT_TRUE(Deliver(Simple("x")));
    releaser.join();
}

TEST_F(HeldServerTest, AbortEndsTheWaitForTheServerAtOnce)
{
    CEvent abort;
    session.SetAbortEvent(&abort);
    std::thread canceller([&] {
        if (server.WaitUntilHeld())
            abort.SetEvent();
    });
    EXPECT_FALSE(Deliver(Simple("x")));
    canceller.join();
    EXPECT_EQ(sendError, WSAEINTR);
    EXPECT_EQ(disconnectError, WSAEINTR);
    EXPECT_EQ(session.GetErrorText(), SMTP_ABORTED_TEXT);
    EXPECT_TRUE(abort.IsSignalled());
}

struct EnvelopeCase {
    const char *name;
    CString from;
    CString to;
    const char *text;
};

// The test name and the CTest name show the case, not its bytes.
void PrintTo(const EnvelopeCase &row, std::ostream *out) { *out << row.name; }

class EnvelopeCheckTest : public TransactionTest, public ::testing::WithParamInterface<EnvelopeCase> {};

// An address that could end its command or its brackets early, or that a
// server cannot take, is refused before the envelope starts.
TEST_P(EnvelopeCheckTest, UnsendableAddressFailsBeforeTheEnvelope)
{
    CMailMessage message;
    message.m_from = CMailAddress(GetParam().from);
    if (!GetParam().to.IsEmpty())
        message.AddAddress(CMailAddress(GetParam().to), ADDRESS_TO);
    message.SetBody("x");
    EXPECT_FALSE(Deliver(message));
    EXPECT_EQ(sendError, ERROR_INVALID_DATA);
    EXPECT_EQ(session.GetErrorText(), GetParam().text);
    EXPECT_EQ(Transcript(), "QUIT\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, EnvelopeCheckTest,
    ::testing::Values(EnvelopeCase{"SenderCrLf", "a@x>\r\nRCPT TO:<evil@v", "c@z", SMTP_BAD_ADDRESS_TEXT},
                      EnvelopeCase{"SenderNul", CString(std::string("a@x\0b", 5)), "c@z", SMTP_BAD_ADDRESS_TEXT},
                      EnvelopeCase{"RecipientLf", "a@x", "c@z>\nDATA", SMTP_BAD_ADDRESS_TEXT},
                      EnvelopeCase{"RecipientCr", "a@x", "c@z\r", SMTP_BAD_ADDRESS_TEXT},
                      EnvelopeCase{"RecipientBlank", "a@x", "c@z SIZE=1", ADDRESS_CHARACTER_TEXT},
                      EnvelopeCase{"SenderBracket", "a@x> BODY=8BITMIME", "c@z", ADDRESS_CHARACTER_TEXT},
                      EnvelopeCase{"RecipientTab", "a@x", "c\t@z", ADDRESS_CHARACTER_TEXT},
                      EnvelopeCase{"RecipientNonAscii", "a@x", "\xE8@z", ADDRESS_NON_ASCII_TEXT},
                      EnvelopeCase{"RecipientTooLong", "a@x", CString(std::string(252, 'c') + "@zz"),
                                   ADDRESS_TOO_LONG_TEXT},
                      EnvelopeCase{"NoRecipient", "a@x", "", NO_RECIPIENT_TEXT}),
    [](const auto &row) { return std::string(row.param.name); });

// The sender may be written with a name; the envelope takes its address.
TEST_F(TransactionTest, SenderWrittenWithANameGivesItsAddressToTheEnvelope)
{
    CMailMessage message = Simple("x");
    message.m_from = CMailAddress("Ann Player <ann@x>");
    EXPECT_TRUE(Deliver(message));
    EXPECT_EQ(Transcript().substr(0, 19), "MAIL FROM:<ann@x>\r\n");
    ASSERT_TRUE(server.WaitForMessages(1));
    EXPECT_EQ(server.Messages()[0].rfind("From: Ann Player <ann@x>\r\n", 0), 0u);
}

struct RefusalCase {
    const char *name;
    const char *step;
    const char *reply;
    const char *transcript;  // after HELO
};

void PrintTo(const RefusalCase &row, std::ostream *out) { *out << row.name; }

class RefusalTest : public TransactionTest, public ::testing::WithParamInterface<RefusalCase> {
protected:
    RefusalTest() : TransactionTest(Behaviour()) {}

    static WellBehavedSmtp Behaviour()
    {
        WellBehavedSmtp behaviour;
        behaviour.replies[GetParam().step] = GetParam().reply;
        behaviour.replies["QUIT"] = "500 not now\r\n";
        return behaviour;
    }
};

// The refusal ends the transaction at once, and the failed QUIT after it
// does not hide the refusing reply.
TEST_P(RefusalTest, RefusedStepEndsTheTransactionAndKeepsItsReply)
{
    CMailMessage message = Simple("x");
    message.ParseAddressList("c@z", ADDRESS_CC);
    EXPECT_FALSE(Deliver(message));
    EXPECT_EQ(sendError, ERROR_BAD_COMMAND);
    std::string reply = GetParam().reply;
    EXPECT_EQ(session.GetErrorText().str(), reply.substr(0, reply.size() - 2));
    EXPECT_EQ(Transcript(), GetParam().transcript);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, RefusalTest,
    ::testing::Values(RefusalCase{"MailFrom", "MAIL", "550 sender refused\r\n", "MAIL FROM:<a@x>\r\nQUIT\r\n"},
                      RefusalCase{"RcptTo", "RCPT", "550 no such user\r\n",
                                  "MAIL FROM:<a@x>\r\nRCPT TO:<b@y>\r\nQUIT\r\n"},
                      RefusalCase{"RcptTo251", "RCPT", "251 forwarded\r\n",
                                  "MAIL FROM:<a@x>\r\nRCPT TO:<b@y>\r\nQUIT\r\n"},
                      RefusalCase{"Data", "DATA", "554 no valid recipients\r\n",
                                  "MAIL FROM:<a@x>\r\nRCPT TO:<b@y>\r\nRCPT TO:<c@z>\r\nDATA\r\nQUIT\r\n"},
                      RefusalCase{"EndOfData", "END", "550 content rejected\r\n",
                                  "MAIL FROM:<a@x>\r\nRCPT TO:<b@y>\r\nRCPT TO:<c@z>\r\nDATA\r\n"
                                  "From: a@x\r\nTo: b@y\r\nCc: c@z\r\nSubject: Hi\r\n\r\nx\r\n.\r\nQUIT\r\n"}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(TransactionFramingTest, LateContinuationOfMailFromIsNotTakenForTheRecipientsReply)
{
    LoopbackSmtpServer server({SmtpScript()
                                   .Reply("220 ready\r\n")
                                   .ExpectLine()
                                   .Reply("250 hello\r\n")
                                   .ExpectLine()
                                   .ReplyInPieces({"250-sender ok\r\n", "250 really\r\n"}, 50)
                                   .ExpectLine()
                                   .Reply("550 no such user\r\n")
                                   .ExpectLine()
                                   .Reply("221 bye\r\n")});
    CSmtpSession session;
    ASSERT_TRUE(session.Connect("127.0.0.1", server.Port()));
    EXPECT_FALSE(session.SendMail(Simple("x")));
    EXPECT_EQ(GetLastError(), ERROR_BAD_COMMAND);
    EXPECT_TRUE(session.Disconnect());
    EXPECT_EQ(session.GetErrorText(), "550 no such user");
    ASSERT_TRUE(server.WaitForConnectionEnd(0));
    EXPECT_EQ(server.Received(0), Helo() + "MAIL FROM:<a@x>\r\nRCPT TO:<b@y>\r\nQUIT\r\n");
}

// A server may take its time to accept the content (filters, queues): the
// end of data waits for it far past the silence allowed for commands.
TEST(SlowServerTest, AnswerToTheEndOfDataMayComeLate)
{
    auto ok = [](SmtpScript script, const char *reply) { return script.ExpectLine().Reply(reply); };
    SmtpScript script = ok(SmtpScript().Reply("220 ready\r\n"), "250 hello\r\n");
    script = ok(ok(ok(script, "250 sender\r\n"), "250 recipient\r\n"), "354 go\r\n");
    script.ReadData().Pause(300).Reply("250 queued\r\n");
    LoopbackSmtpServer server({ok(script, "221 bye\r\n")});
    CSmtpSession session;
    session.m_replyTimeout = 100;
    ASSERT_TRUE(session.Connect("127.0.0.1", server.Port()));
    EXPECT_TRUE(session.SendMail(Simple("x"))) << session.GetErrorText();
    EXPECT_TRUE(session.Disconnect());
}

}  // namespace
