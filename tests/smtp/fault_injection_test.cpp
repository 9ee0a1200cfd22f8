// The SMTP delivery path over a socket layer that writes short, is
// interrupted, finds its buffers full or empty, or loses the connection in
// the middle of any command, reply or the content. Every delivery ends in
// a failure with a text or with the whole message on the wire; a
// truncated message is never reported as sent.
#include "fake_socket_calls.h"
#include "mail/message_record.h"
#include "settings/game_settings.h"
#include "smtp/system_sockets.h"
#include "support/aiosmtpd_server.h"
#include "support/masked_header.h"
#include "host/loopback/loopback_smtp_server.h"
#include "support/temp_folder.h"
#include "support/test_certificates.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

const std::string BODY = "Turn 12 of Alpha\r\n.\r\n" + std::string(90, 'x') + "\r\nend";
const std::string CONTENT = "From: player@example.org\r\nTo: server@example.org\r\nSubject: Turn\r\n\r\n"
                            "Turn 12 of Alpha\r\n..\r\n" + std::string(90, 'x') + "\r\nend\r\n";
// The turn as a server stores it when it went over TLS, with the header a
// provider expects (Masked), the dot-stuffing undone.
const std::string STORED = MASKED_TURN_HEADER + "Turn 12 of Alpha\r\n.\r\n" + std::string(90, 'x') + "\r\nend\r\n";
constexpr long WHOLE = 1L << 20;

// The turn of game Alpha to the server at `server`.
void FillTurn(CMessageRecord &record, const std::string &server)
{
    for (const auto &[key, value] : {std::pair{KEY_GAME_NAME, "Alpha"}, {KEY_FROM, "player@example.org"},
                                     {KEY_TO, "server@example.org"}, {KEY_SUBJECT, "Turn"},
                                     {KEY_SERVER_SMTP, server.c_str()}, {KEY_BODY, BODY.c_str()}})
        record.SetAt(key, value);
}

class FaultInjectionTest : public ::testing::Test {
protected:
    // One delivery of the turn through the server with the fake's plans.
    BOOL Deliver()
    {
        CMessageRecord record;
        FillTurn(record, m_server.Address());
        state.sendCalls = 0;
        state.reset = false;
        const BOOL sent = record.DeliverBySmtp();
        error = record.GetError().str();
        EXPECT_TRUE(m_server.WaitForConnectionEnd(m_connections++));
        return sent;
    }

    // Checks one outcome: the message arrived whole and only then was it
    // reported sent; a failure explains itself.
    void ExpectSoundOutcome(BOOL sent, const std::string &fault)
    {
        const std::vector<std::string> messages = m_server.Messages();
        for (std::size_t i = m_seen; i < messages.size(); ++i)
            EXPECT_EQ(messages[i], CONTENT) << fault;
        if (sent)
            EXPECT_EQ(messages.size(), m_seen + 1) << fault;
        else
            EXPECT_GT(error.size(), std::string("Alpha ERR: ").size()) << fault << ": " << error;
        m_seen = messages.size();
    }

    // A delivery without faults, as the measure of the faulty ones.
    void DeliverCleanly()
    {
        const BOOL sent = Deliver();
        ASSERT_TRUE(sent) << error;
        ExpectSoundOutcome(sent, "no fault");
    }

    FakeSocketCalls fake{true};
    FakeSocketState &state = fake.State();
    std::string error;

private:
    LoopbackSmtpServer m_server;
    std::size_t m_connections = 0;
    std::size_t m_seen = 0;
};

TEST_F(FaultInjectionTest, ShortWritesOfEverySizeWithInterruptionsAndFullBuffersDeliverTheWholeMessage)
{
    DeliverCleanly();
    const std::size_t longest = CONTENT.size();
    for (long size = 1; size <= static_cast<long>(longest); ++size) {
        for (std::size_t call = 0; call < longest; ++call)
            state.sendPlan.insert(state.sendPlan.end(), {size, -SOCKET_INTERRUPTED, -SOCKET_WOULD_BLOCK});
        const BOOL sent = Deliver();
        EXPECT_TRUE(sent) << "writes of " << size << ": " << error;
        ExpectSoundOutcome(sent, "writes of " + std::to_string(size));
        state.sendPlan.clear();
    }
}

TEST_F(FaultInjectionTest, ShortInterruptedAndEmptyReadsDeliverTheWholeMessage)
{
    for (long size : {1L, 2L, 3L, 7L}) {
        for (int call = 0; call < 200; ++call)
            state.receivePlan.insert(state.receivePlan.end(), {-SOCKET_WOULD_BLOCK, size, -SOCKET_INTERRUPTED});
        const BOOL sent = Deliver();
        EXPECT_TRUE(sent) << "reads of " << size << ": " << error;
        ExpectSoundOutcome(sent, "reads of " + std::to_string(size));
        state.receivePlan.clear();
    }
}

// The peer resets the connection after the first byte of each send in turn:
// within every command, the content with its end of data, and QUIT. Only
// the reset during QUIT may leave the message sent.
TEST_F(FaultInjectionTest, ResetInTheMiddleOfEachCommandAndOfTheContentNeverReportsATruncatedMessage)
{
    DeliverCleanly();
    const int calls = state.sendCalls;
    ASSERT_GE(calls, 6);
    for (int failing = 0; failing < calls; ++failing) {
        state.sendPlan.assign(static_cast<std::size_t>(failing), WHOLE);
        state.sendPlan.insert(state.sendPlan.end(), {1, -SOCKET_CONNECTION_RESET});
        const BOOL sent = Deliver();
        EXPECT_EQ(sent, failing == calls - 1 ? TRUE : FALSE) << "send " << failing << ": " << error;
        ExpectSoundOutcome(sent, "reset in send " + std::to_string(failing));
    }
}

TEST_F(FaultInjectionTest, ResetWhileWaitingForEachReplyFailsWithAText)
{
    DeliverCleanly();
    for (int failing = 0; failing < 7; ++failing) {
        state.receivePlan.assign(static_cast<std::size_t>(failing), WHOLE);
        state.receivePlan.push_back(-SOCKET_CONNECTION_RESET);
        const BOOL sent = Deliver();
        // The seventh reply is QUIT's: the message had already been accepted.
        EXPECT_EQ(sent, failing == 6 ? TRUE : FALSE) << "reply " << failing << ": " << error;
        ExpectSoundOutcome(sent, "reset in reply " + std::to_string(failing));
        // The third reply is MAIL FROM's; QUIT's failure does not replace it.
        if (failing == 2) {
            EXPECT_EQ(error, "Alpha ERR: Connection to the SMTP server lost, GetLastError returns: " +
                                 std::to_string(SOCKET_CONNECTION_RESET));
        }
    }
}

// The same faults beneath TLS: the socket calls under its records write
// and read short, are interrupted and find their buffers full or empty,
// through the handshake, every reply and the content.
TEST(TlsFaultInjectionTest, ShortInterruptedAndEmptyReadsAndWritesDeliverTheWholeMessage)
{
    const TestCertificates &certificates = TestCertificates::Shared();
    if (!AiosmtpdServer::Available() || !certificates.Made())
        GTEST_SKIP() << "python3-aiosmtpd or the openssl command is missing";
    TempFolder folder;
    AiosmtpdServer server(folder.Path(), {"--tls", "--cert", ShellPath(certificates.Certificate(TestCertificates::SERVER)),
                                          "--key", ShellPath(certificates.Key(TestCertificates::SERVER))});
    FakeSocketCalls fake(true);
    int delivered = 0;
    for (long size : {1L, 2L, 7L, 100L}) {
        fake.State().receivePlan.clear();
        fake.State().sendPlan.clear();
        for (int call = 0; call < 5000; ++call) {
            fake.State().receivePlan.insert(fake.State().receivePlan.end(), {-SOCKET_WOULD_BLOCK, size, -SOCKET_INTERRUPTED});
            fake.State().sendPlan.insert(fake.State().sendPlan.end(), {size, -SOCKET_INTERRUPTED, -SOCKET_WOULD_BLOCK});
        }
        CMessageRecord record;
        FillTurn(record, server.Address());
        record.SetAt(KEY_SECURITY, "tls");
        record.SetAt(KEY_TLS_CA_FILE, certificates.Ca().string().c_str());
        EXPECT_TRUE(record.DeliverBySmtp()) << "pieces of " << size << ": " << record.GetError().str();
        EXPECT_EQ(Masked(ReadFile(folder / (std::to_string(++delivered) + ".eml"))), STORED) << "pieces of " << size;
    }
}

}  // namespace
