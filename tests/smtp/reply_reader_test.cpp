#include "platform/last_error.h"
#include "smtp/reply_reader.h"
#include "host/loopback/loopback_smtp_server.h"

#include <gtest/gtest.h>

namespace {

// A reader on a connection to a server that plays `script`.
class ReplyReaderTest : public ::testing::Test {
protected:
    void Start(SmtpScript script)
    {
        m_server = std::make_unique<LoopbackSmtpServer>(std::vector<SmtpScript>{std::move(script)});
        ASSERT_TRUE(m_socket.Connect("127.0.0.1", m_server->Port()));
    }

    // The next reply, copied out of its buffer.
    struct Read {
        DWORD error;
        int code;
        std::string bytes;
        std::string text;
        DWORD expiredBound;
    };
    Read Next(ReplyBounds bounds = {2000, 2000})
    {
        char first[CReplyReader::BUFFER_SIZE];
        std::unique_ptr<char[]> grown;
        CReplyBuffer buffer(first, CReplyReader::BUFFER_SIZE, grown, CReplyReader::GROWTH_STEP);
        const SmtpReply reply = reader.Read(buffer, bounds);
        return {reply.error, reply.code, std::string(reply.bytes), std::string(reply.text), reply.expiredBound};
    }

private:
    CClientSocket m_socket;
    std::unique_ptr<LoopbackSmtpServer> m_server;

protected:
    CReplyReader reader{m_socket};
};

// Replies that come in one segment (as pipelined commands get them) are
// handed out one per read, in order, each with its own code.
TEST_F(ReplyReaderTest, RepliesOfOneSegmentAreReadOneAtATimeInOrder)
{
    Start(SmtpScript().Reply("250-first\r\n250 second\r\n354 go\r\n221 by").Close());
    const Read multiline = Next();
    EXPECT_EQ(multiline.error, 0u);
    EXPECT_EQ(multiline.code, 250);
    EXPECT_EQ(multiline.bytes, "250-first\r\n250 second\r\n");
    EXPECT_EQ(multiline.text, "250-first\r\n250 second");
    EXPECT_TRUE(reader.HasPending());
    EXPECT_EQ(Next().code, 354);
    const Read cut = Next();
    EXPECT_EQ(cut.error, WSAECONNRESET);
    EXPECT_EQ(cut.text, "221 by");
    EXPECT_FALSE(reader.HasPending());
}

struct BoundCase {
    const char *name;
    SmtpScript script;
    ReplyBounds bounds;
    DWORD expired;
};

void PrintTo(const BoundCase &row, std::ostream *out) { *out << row.name; }

class ReplyBoundTest : public ReplyReaderTest, public ::testing::WithParamInterface<BoundCase> {};

// The silence restarts with every byte; the limit does not. The read says
// which of them ran out, so that the session can name it.
TEST_P(ReplyBoundTest, ReadSaysWhichBoundRanOut)
{
    Start(GetParam().script);
    const Read read = Next(GetParam().bounds);
    EXPECT_EQ(read.error, WSAETIMEDOUT);
    EXPECT_EQ(read.expiredBound, GetParam().expired);
}

INSTANTIATE_TEST_SUITE_P(
    Servers, ReplyBoundTest,
    ::testing::Values(BoundCase{"Silent", SmtpScript().StaySilent(), {50, 5000}, 50},
                      BoundCase{"Trickling", SmtpScript().Dribble("250 " + std::string(100, 'x') + "\r\n", 20),
                                {5000, 150}, 150}),
    [](const auto &row) { return std::string(row.param.name); });

}  // namespace
