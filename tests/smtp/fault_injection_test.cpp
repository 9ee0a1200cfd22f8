// The SMTP delivery path over a socket layer that writes short, is
// interrupted, finds its buffers full or empty, or loses the connection in
// the middle of any command, reply or the content. Every delivery ends in
// a failure with a text or with the whole message on the wire; a
// truncated message is never reported as sent.
#include "fake_socket_calls.h"
#include "mail/message_record.h"
#include "settings/game_settings.h"
#include "support/scripted_smtp_server.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

const std::string BODY = "Turn 12 of Alpha\r\n.\r\n" + std::string(90, 'x') + "\r\nend";
const std::string CONTENT = "From: player@example.org\r\nTo: server@example.org\r\nSubject: Turn\r\n\r\n"
                            "Turn 12 of Alpha\r\n..\r\n" + std::string(90, 'x') + "\r\nend\r\n";
constexpr long WHOLE = 1L << 20;

class FaultInjectionTest : public ::testing::Test {
protected:
    // One delivery of the turn through the server with the fake's plans.
    BOOL Deliver()
    {
        CMessageRecord record;
        const std::string server = "127.0.0.1:" + std::to_string(m_server.Port());
        for (const auto &[key, value] : {std::pair{KEY_GAME_NAME, "Alpha"}, {KEY_FROM, "player@example.org"},
                                         {KEY_TO, "server@example.org"}, {KEY_SUBJECT, "Turn"},
                                         {KEY_SERVER_SMTP, server.c_str()}, {KEY_BODY, BODY.c_str()}})
            record.SetAt(key, value);
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
    ScriptedSmtpServer m_server;
    std::size_t m_connections = 0;
    std::size_t m_seen = 0;
};

TEST_F(FaultInjectionTest, ShortWritesOfEverySizeWithInterruptionsAndFullBuffersDeliverTheWholeMessage)
{
    DeliverCleanly();
    const std::size_t longest = CONTENT.size();
    for (long size = 1; size <= static_cast<long>(longest); ++size) {
        for (std::size_t call = 0; call < longest; ++call)
            state.sendPlan.insert(state.sendPlan.end(), {size, -EINTR, -EAGAIN});
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
            state.receivePlan.insert(state.receivePlan.end(), {-EAGAIN, size, -EINTR});
        const BOOL sent = Deliver();
        EXPECT_TRUE(sent) << "reads of " << size << ": " << error;
        ExpectSoundOutcome(sent, "reads of " + std::to_string(size));
        state.receivePlan.clear();
    }
}

// The peer resets the connection after the first byte of each send in turn:
// within every command, the header block, the body, the end of data and
// QUIT. Only the reset during QUIT may leave the message sent.
TEST_F(FaultInjectionTest, ResetInTheMiddleOfEachCommandAndOfTheContentNeverReportsATruncatedMessage)
{
    DeliverCleanly();
    const int calls = state.sendCalls;
    ASSERT_GE(calls, 7);
    for (int failing = 0; failing < calls; ++failing) {
        state.sendPlan.assign(static_cast<std::size_t>(failing), WHOLE);
        state.sendPlan.insert(state.sendPlan.end(), {1, -ECONNRESET});
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
        state.receivePlan.push_back(-ECONNRESET);
        const BOOL sent = Deliver();
        // The seventh reply is QUIT's: the message had already been accepted.
        EXPECT_EQ(sent, failing == 6 ? TRUE : FALSE) << "reply " << failing << ": " << error;
        ExpectSoundOutcome(sent, "reset in reply " + std::to_string(failing));
        // The third reply is MAIL FROM's; QUIT's failure does not replace it.
        if (failing == 2) {
            EXPECT_EQ(error, "Alpha ERR: Connection to the SMTP server lost, GetLastError returns: " +
                                 std::to_string(ECONNRESET));
        }
    }
}

}  // namespace
