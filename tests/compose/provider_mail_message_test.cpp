#include "compose/header_words.h"
#include "compose/provider_mail_message.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono;

// 2026-12-08 11:38:35 UTC, a Tuesday.
const sys_seconds MOMENT = sys_days(year(2026) / December / 8) + hours(11) + minutes(38) + seconds(35);
// "Ход Щуки" and "Иван" in KOI8-R.
const std::string SUBJECT_KOI8 = "\xE8\xCF\xC4 \xFD\xD5\xCB\xC9";
const std::string NAME_KOI8 = "\xE9\xD7\xC1\xCE";

class ProviderHeaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        message.m_from = CMailAddress(CString(NAME_KOI8), CString("me@example.org"));
        message.m_subject = "Turn 5";
        message.ParseAddressList("Bob <bob@example.net>", ADDRESS_TO);
    }

    CProviderMailMessage message{{MOMENT, "1765193915.0123456789abcdef"}, "KOI8-R"};
};

TEST_F(ProviderHeaderTest, CarriesDateMessageIdAndTheMimeLinesOfTheText)
{
    EXPECT_EQ(message.BuildHeader().str(), "Date: Tue, 08 Dec 2026 11:38:35 +0000\r\n"
                                           "From: =?KOI8-R?B?6dfBzg==?= <me@example.org>\r\n"
                                           "To: Bob <bob@example.net>\r\n"
                                           "Subject: Turn 5\r\n"
                                           "Message-ID: <1765193915.0123456789abcdef@example.org>\r\n"
                                           "MIME-Version: 1.0\r\n"
                                           "Content-Type: text/plain; charset=KOI8-R\r\n"
                                           "Content-Transfer-Encoding: 8bit\r\n\r\n");
}

// A long 8-bit subject becomes several encoded words, each line within 76
// characters, and decodes to the whole subject.
TEST_F(ProviderHeaderTest, LongEightBitSubjectIsEncodedAndFolded)
{
    std::string subject;
    for (int i = 0; i < 6; ++i)
        subject += SUBJECT_KOI8 + " ";
    message.m_subject = CString(subject);
    const std::string header = message.BuildHeader().str();
    const std::size_t start = header.find("Subject: ");
    const std::string field = header.substr(start, header.find("\r\nMessage-ID") - start);
    EXPECT_EQ(field, "Subject: =?KOI8-R?B?6M/EIP3Vy8kg6M/EIP3Vy8kg6M/EIP3Vy8kg6M/EIP3Vy8kg6M/E?=\r\n"
                     " =?KOI8-R?B?IP3Vy8kg6M/EIP3Vy8kg?=");
    for (std::size_t line = 0; line < field.size();) {
        const std::size_t end = std::min(field.find("\r\n", line), field.size());
        EXPECT_LE(end - line, HEADER_LINE_LIMIT);
        line = end + 2;
    }
}

TEST(MailDateTest, FollowsRfc5322InUtc)
{
    EXPECT_EQ(MailDate(sys_seconds()), "Thu, 01 Jan 1970 00:00:00 +0000");
    EXPECT_EQ(MailDate(MOMENT), "Tue, 08 Dec 2026 11:38:35 +0000");
    EXPECT_EQ(MailDate(sys_days(year(2024) / February / 29) + seconds(86399)), "Thu, 29 Feb 2024 23:59:59 +0000");
}

TEST(HeaderWordsTest, FoldingKeepsEveryBlankAndNeverLeavesABlankLine)
{
    const std::string longWord(80, 'x');
    const std::pair<std::string, std::string> rows[] = {
        {"Subject: short\r\n", "Subject: short\r\n"},
        {"Subject: " + longWord + "\r\n", "Subject: " + longWord + "\r\n"},
        {"To: " + std::string(40, 'a') + "  " + std::string(40, 'b') + "\r\n",
         "To: " + std::string(40, 'a') + " \r\n " + std::string(40, 'b') + "\r\n"},
    };
    for (const auto &[lines, folded] : rows)
        EXPECT_EQ(FoldedLines(lines), folded) << lines;
    EXPECT_EQ(EncodedWords("plain words", "KOI8-R"), "plain words");
}

}  // namespace
