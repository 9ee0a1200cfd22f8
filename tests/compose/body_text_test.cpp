#include "compose/body_text.h"
#include "compose/mail_message.h"

#include <gtest/gtest.h>

namespace {

struct TextCase {
    std::string input;
    std::string expected;
};

void PrintTo(const TextCase &row, std::ostream *out) { *out << ::testing::PrintToString(row.input); }

class StuffDotsTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(StuffDotsTest, DoublesALeadingDotOnEveryLine)
{
    CString text(GetParam().input);
    StuffDots(text);
    EXPECT_EQ(text.str(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, StuffDotsTest,
                         ::testing::Values(TextCase{"", ""}, TextCase{".", ".."}, TextCase{"a.b\r\n", "a.b\r\n"},
                                           TextCase{"a\r\n.\r\n", "a\r\n..\r\n"}, TextCase{"a\r\n..b", "a\r\n...b"},
                                           TextCase{"\n.\n.", "\r\n..\r\n.."}));

class SetBodyTest : public ::testing::TestWithParam<TextCase> {};

// Every line ends in CR LF and no body can carry anything a server could
// take for the end of data.
TEST_P(SetBodyTest, EndsEveryLineInCrLfAndStuffsDots)
{
    CMailMessage message;
    message.SetBody(CString(GetParam().input));
    EXPECT_EQ(message.m_body.str(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Bodies, SetBodyTest,
                         ::testing::Values(TextCase{"a\r\nb\r\n", "a\r\nb\r\n"}, TextCase{"a\nb\rc", "a\r\nb\r\nc"},
                                           TextCase{"\n\r\r\n", "\r\n\r\n\r\n"},
                                           TextCase{"a\r\n.\r\nMAIL FROM:<x>", "a\r\n..\r\nMAIL FROM:<x>"},
                                           TextCase{"a\n.\nb", "a\r\n..\r\nb"}, TextCase{"a\n.\r\nb", "a\r\n..\r\nb"},
                                           TextCase{"a\r.\rb", "a\r\n..\r\nb"}, TextCase{"a\r\n.\nb", "a\r\n..\r\nb"}));

// A byte the map drops is gone before line ends and dots are looked at:
// it neither splits a CR LF nor hides a leading dot.
TEST(StuffDotsWithMapTest, LineEndsAndDotsAreThoseOfTheMappedText)
{
    ByteMap dropX;
    for (std::size_t byte = 0; byte < dropX.size(); ++byte)
        dropX[byte] = static_cast<unsigned char>(byte);
    dropX['x'] = std::nullopt;
    dropX['a'] = 'b';
    CString text("xa\rx\nx.\r\nxx");
    StuffDots(text, &dropX);
    EXPECT_EQ(text.str(), "b\r\n..\r\n");
}

}  // namespace
