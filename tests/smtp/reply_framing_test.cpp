#include "smtp/reply_framing.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct EndCase {
    std::string bytes;
    std::size_t end;  // 0: incomplete
};

void PrintTo(const EndCase &row, std::ostream *out) { *out << ::testing::PrintToString(row.bytes); }

class FindReplyEndTest : public ::testing::TestWithParam<EndCase> {};

TEST_P(FindReplyEndTest, EndsAfterTheLastLineOfTheFirstReply)
{
    EXPECT_EQ(FindReplyEnd(GetParam().bytes), GetParam().end) << GetParam().bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, FindReplyEndTest,
    ::testing::Values(EndCase{"", 0}, EndCase{"22", 0}, EndCase{"220 ok\r", 0}, EndCase{"220 ok\r\n", 8},
                      EndCase{"220\r\n", 5}, EndCase{"250 a\r\n250 b\r\n", 7}, EndCase{"250-a\r\n", 0},
                      EndCase{"250-a\r\n250-b", 0}, EndCase{"250-a\r\n250 b\r\n", 14},
                      EndCase{"250-a\r\n250-b\r\n250\r\n354 go\r\n", 19}, EndCase{"hello\r\n", 7},
                      EndCase{"ab-c\r\n", 6}, EndCase{"250-\r\n250 x\r\n", 13}, EndCase{"250 a\rb\nc\r\n", 11},
                      EndCase{std::string("2\0 0\r\n", 6), 6}));

// However the bytes arrive, the reply ends where it would in one piece.
TEST(FindReplyEndResumeTest, GivesTheSameEndForEverySplit)
{
    const std::string reply = "250-first\r\n250-second\r\n250 last\r\n220 next\r\n";
    for (std::size_t step = 1; step <= 7; ++step) {
        ReplyScan scan;
        std::size_t end = 0;
        for (std::size_t length = step; end == 0 && length < reply.size() + step; length += step)
            end = FindReplyEnd(std::string_view(reply).substr(0, std::min(length, reply.size())), "\r\n", scan);
        EXPECT_EQ(end, 33U) << "step " << step;
    }
}

struct CodeCase {
    std::string reply;
    int code;
};

void PrintTo(const CodeCase &row, std::ostream *out) { *out << ::testing::PrintToString(row.reply); }

class ParseReplyCodeTest : public ::testing::TestWithParam<CodeCase> {};

TEST_P(ParseReplyCodeTest, TakesOnlyAWellFormedCode)
{
    EXPECT_EQ(ParseReplyCode(GetParam().reply), GetParam().code) << GetParam().reply;
}

INSTANTIATE_TEST_SUITE_P(Replies, ParseReplyCodeTest,
                         ::testing::Values(CodeCase{"250 ok\r\n", 250}, CodeCase{"354-go\r\n", 354},
                                           CodeCase{"221\r\n", 221}, CodeCase{"550", 550}, CodeCase{"", 0},
                                           CodeCase{"25", 0}, CodeCase{"2500 ok\r\n", 0}, CodeCase{" 250 ok", 0},
                                           CodeCase{"-25 x", 0}, CodeCase{"abc ok", 0}, CodeCase{"250ok", 0},
                                           CodeCase{std::string("2\0" "50 x", 6), 0}));

// Every line of a reply must carry the same code; otherwise the reply is
// malformed, whatever its first line says.
TEST(CommonReplyCodeTest, TakesACodeOnlyWhenEveryLineCarriesIt)
{
    EXPECT_EQ(CommonReplyCode("250 ok\r\n"), 250);
    EXPECT_EQ(CommonReplyCode("250-a\r\n250-b\r\n250 c\r\n"), 250);
    EXPECT_EQ(CommonReplyCode("250-a\r\n250 c"), 250);
    EXPECT_EQ(CommonReplyCode("220-x\r\n521 bye\r\n"), 0);
    EXPECT_EQ(CommonReplyCode("250-ok\r\nno code\r\n"), 0);
    EXPECT_EQ(CommonReplyCode("garbage\r\n"), 0);
}

}  // namespace
