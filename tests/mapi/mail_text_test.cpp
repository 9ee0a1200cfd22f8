// The sendmail provider's mail text: addresses, header folding and
// encoding, dates, line ends, and the messages it refuses. Expected
// encodings were computed with an independent base64 encoder.
#include "mail_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Addresses = std::vector<std::string>;

TEST(MailTextTest, SplitAddressesAtSeparatorsOutsideQuotesAndBrackets)
{
    const struct {
        const char *text;
        Addresses expected;
    } rows[] = {
        {"a@x", {"a@x"}},
        {"a@x; b@y,c@z", {"a@x", "b@y", "c@z"}},
        {" ;a@x;; ,\t", {"a@x"}},
        {"\"Doe, John\" <j@x>; b@y", {"\"Doe, John\" <j@x>", "b@y"}},
        {"\"a \\\" ; b\" <q@x>", {"\"a \\\" ; b\" <q@x>"}},
        {"<odd;one@x>, c", {"<odd;one@x>", "c"}},
        {"", {}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(SplitAddresses(row.text), row.expected) << row.text;
}

TEST(MailTextTest, AddressHeaderFoldsBeforeSeventyEightCharacters)
{
    EXPECT_EQ(AddressHeader("To", {}), "");
    EXPECT_EQ(AddressHeader("To", {"a@x", "b@y"}), "To: a@x, b@y\n");
    const std::string thirty(30, 'm');
    EXPECT_EQ(AddressHeader("Cc", {thirty, thirty, thirty, "z"}),
              "Cc: " + thirty + ", " + thirty + ",\n " + thirty + ", z\n");
}

TEST(MailTextTest, HeaderTextEncodesWhatIsNotPrintableAscii)
{
    EXPECT_EQ(HeaderText("Turn 7", "windows-1251"), "Turn 7");
    EXPECT_EQ(HeaderText("Turn\r\n7\rX", "windows-1251"), "Turn  7 X");
    EXPECT_EQ(HeaderText("\xD2\xE5\xF1\xF2", "windows-1251"), "=?windows-1251?B?0uXx8g==?=");
    EXPECT_EQ(HeaderText(std::string(50, '\xE0'), "windows-1251"),
              "=?windows-1251?B?4ODg4ODg4ODg4ODg4ODg4ODg4ODg4ODg4ODg4ODg4ODg4ODg4ODg4ODg?=\n"
              " =?windows-1251?B?4ODg4ODg4OA=?=");
}

TEST(MailTextTest, EncodedWordsNeverSplitAUtf8Character)
{
    std::string text;
    for (int i = 0; i < 30; ++i)
        text += "\xD0\x96";
    EXPECT_EQ(HeaderText(text, "UTF-8"), "=?UTF-8?B?0JbQltCW0JbQltCW0JbQltCW0JbQltCW0JbQltCW0JbQltCW0JbQltCW0JY=?=\n"
                                         " =?UTF-8?B?0JbQltCW0JbQltCW0JbQlg==?=");
}

TEST(MailTextTest, MailDateIsUtcInRfc5322Form)
{
    EXPECT_EQ(MailDate(0), "Thu, 01 Jan 1970 00:00:00 +0000");
    EXPECT_EQ(MailDate(1700000000), "Tue, 14 Nov 2023 22:13:20 +0000");
}

class ComposeMailTextTest : public ::testing::Test {
protected:
    std::uint32_t Compose()
    {
        message.nRecipCount = static_cast<std::uint32_t>(recipients.size());
        message.lpRecips = recipients.data();
        return ComposeMailText(message, MailTextOptions{"windows-1251", 1700000000}, text);
    }

    static MapiRecipDesc Recipient(std::uint32_t recipClass, const char *name, const char *address = nullptr)
    {
        MapiRecipDesc recipient{};
        recipient.ulRecipClass = recipClass;
        recipient.lpszName = const_cast<char *>(name);
        recipient.lpszAddress = const_cast<char *>(address);
        return recipient;
    }

    std::vector<MapiRecipDesc> recipients{Recipient(MAPI_TO, "a@x; b@y")};
    MapiMessage message{};
    std::string text;
};

TEST_F(ComposeMailTextTest, WritesHeaderBlockAndBody)
{
    recipients.push_back(Recipient(MAPI_CC, "Carol", "SMTP:cc@z"));
    recipients.push_back(Recipient(MAPI_BCC, "d@w"));
    char subject[] = "Turn 7";
    char note[] = "line1\r\n.\r\nline3";
    message.lpszSubject = subject;
    message.lpszNoteText = note;
    ASSERT_EQ(Compose(), SUCCESS_SUCCESS);
    EXPECT_EQ(text, "To: a@x, b@y\nCc: cc@z\nBcc: d@w\nSubject: Turn 7\n"
                    "Date: Tue, 14 Nov 2023 22:13:20 +0000\nMIME-Version: 1.0\n"
                    "Content-Type: text/plain; charset=windows-1251\nContent-Transfer-Encoding: 7bit\n"
                    "\nline1\n.\nline3\n");
}

TEST_F(ComposeMailTextTest, EightBitNoteAndNoSubject)
{
    char note[] = "\xF2\xE5\xEA\xF1\xF2";
    message.lpszNoteText = note;
    ASSERT_EQ(Compose(), SUCCESS_SUCCESS);
    EXPECT_EQ(text.find("Subject:"), std::string::npos);
    EXPECT_NE(text.find("Content-Transfer-Encoding: 8bit\n\n\xF2\xE5\xEA\xF1\xF2\n"), std::string::npos);
}

TEST_F(ComposeMailTextTest, RefusesWhatItCannotSendSafely)
{
    const struct {
        MapiRecipDesc recipient;
        std::uint32_t expected;
    } rows[] = {
        {Recipient(MAPI_ORIG, "a@x"), MAPI_E_BAD_RECIPTYPE},
        {Recipient(7, "a@x"), MAPI_E_BAD_RECIPTYPE},
        {Recipient(MAPI_TO, "a@x\r\nBcc: all@x"), MAPI_E_INVALID_RECIPS},
        {Recipient(MAPI_TO, "a@x", "b@y\nX: 1"), MAPI_E_INVALID_RECIPS},
        {Recipient(MAPI_TO, " ; "), MAPI_E_INVALID_RECIPS},
        {Recipient(MAPI_TO, nullptr), MAPI_E_INVALID_RECIPS},
    };
    for (const auto &row : rows) {
        recipients = {row.recipient};
        EXPECT_EQ(Compose(), row.expected) << (row.recipient.lpszName ? row.recipient.lpszName : "null");
    }
    recipients.clear();
    EXPECT_EQ(Compose(), MAPI_E_INVALID_RECIPS);
    recipients = {Recipient(MAPI_TO, "a@x")};
    message.nFileCount = 1;
    EXPECT_EQ(Compose(), MAPI_E_TOO_MANY_FILES);
}

}  // namespace
