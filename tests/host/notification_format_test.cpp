// Porcelain and human lines, status names, the encodings at the host's edge
// and the command-line assignments.
#include "host/notification_format.h"
#include "host/settings_keys.h"
#include "host/text_codec.h"
#include "host/usage_error.h"
#include "morvtransport/morvtransport.h"

#include <gtest/gtest.h>

namespace {

HostNotification Text(const std::string &ansi)
{
    HostNotification notification;
    notification.kind = MORV_TN_TEXT;
    notification.text = ansi;
    return notification;
}

HostNotification Status(DWORD word)
{
    HostNotification notification;
    notification.kind = MORV_TN_STATUS;
    notification.status = word;
    return notification;
}

TEST(EscapeText, EscapesExactlyTheFourCharacters)
{
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "plain"},
        {"a\r\nb", "a\\r\\nb"},
        {"tab\there", "tab\\there"},
        {"back\\slash", "back\\\\slash"},
        {"\\n literally", "\\\\n literally"},
        {"", ""},
        {"ё\x01", "ё\x01"},
    };
    for (const auto &[input, expected] : cases)
        EXPECT_EQ(EscapeText(input), expected) << input;
}

TEST(StatusWord, HexAndBitNames)
{
    const std::tuple<DWORD, std::string, std::string> cases[] = {
        {0x00, "0x00", "none"},
        {0x0D, "0x0d", "SENDING|UNSENT|BUSY"},
        {0x02, "0x02", "CHECKING"},
        {0x0F, "0x0f", "SENDING|CHECKING|UNSENT|BUSY"},
        {0x14, "0x14", "UNSENT|0x10"},
    };
    for (const auto &[word, hex, names] : cases) {
        EXPECT_EQ(StatusHex(word), hex);
        EXPECT_EQ(StatusBitNames(word), names);
    }
}

TEST(PorcelainLines, TextIsUtf8AndEscaped)
{
    // "Игра A" in Windows-1251, then an error text that ends in a line feed.
    EXPECT_EQ(FormatNotification(OutputForm::Porcelain, Text("\xC8\xE3\xF0\xE0 A")), "text\tИгра A");
    EXPECT_EQ(FormatNotification(OutputForm::Porcelain, Text("G ERR: no\r\n")), "text\tG ERR: no\\r\\n");
}

TEST(PorcelainLines, StatusIsTwoLowerCaseHexDigits)
{
    EXPECT_EQ(FormatNotification(OutputForm::Porcelain, Status(0x0D)), "status\t0x0d");
    EXPECT_EQ(FormatNotification(OutputForm::Porcelain, Status(0)), "status\t0x00");
}

TEST(PorcelainLines, SentIsOneJsonObjectWithSortedKeys)
{
    HostNotification sent;
    sent.kind = MORV_TN_SENT;
    sent.record.SetAt("To", "s@x");
    sent.record.SetAt("Body", "\xCF\xF0\xE8\xE2\xE5\xF2\r\n\"q\"\t");  // "Привет" and specials
    sent.record.SetAt("GameName", "G");
    EXPECT_EQ(FormatNotification(OutputForm::Porcelain, sent),
              "sent\t{\"Body\":\"Привет\\r\\n\\\"q\\\"\\t\",\"GameName\":\"G\",\"To\":\"s@x\"}");
}

TEST(HumanLines, NameTheBitsAndDropTrailingLineEnds)
{
    EXPECT_EQ(FormatNotification(OutputForm::Human, Status(0x04)), "status 0x04 (UNSENT)");
    EXPECT_EQ(FormatNotification(OutputForm::Human, Text("Could not connect\n")), "Could not connect");
}

TEST(SettingsLines, PorcelainIsOneJsonLineAndHumanOneLinePerPair)
{
    CMapStringToString pairs;
    pairs.SetAt("To", "a@b");
    pairs.SetAt("From", "c@d");
    EXPECT_EQ(FormatSettings(OutputForm::Porcelain, pairs), "settings\t{\"From\":\"c@d\",\"To\":\"a@b\"}\n");
    EXPECT_EQ(FormatSettings(OutputForm::Human, pairs), "  From = c@d\n  To = a@b\n");
}

TEST(TextCodec, Windows1251RoundTripsRussian)
{
    const std::string utf8 = "Съешь же ещё этих мягких французских булок. ЁЩШ";
    const std::string ansi = Utf8ToAnsi(utf8);
    EXPECT_EQ(ansi.size(), 47u);
    EXPECT_EQ(AnsiToUtf8(ansi), utf8);
}

TEST(TextCodec, StrictConversionNamesTheOffendingByte)
{
    try {
        Utf8ToAnsi("ab\xF0\x9F\x98\x80");  // an emoji has no Windows-1251 form
        FAIL() << "no error";
    } catch (const TextCodecError &error) {
        EXPECT_NE(std::string(error.what()).find("byte 2"), std::string::npos) << error.what();
    }
}

TEST(TextCodec, LossyConversionsReplaceWhatTheyCannotRead)
{
    EXPECT_EQ(AnsiToUtf8("a\x98z"), "a\xEF\xBF\xBDz");  // 0x98 is unassigned in Windows-1251
    EXPECT_EQ(Koi8ToUtf8("\xF0\xD2\xC9\xD7\xC5\xD4"), "Привет");
}

TEST(Assignments, SplitAtTheFirstEqualsSign)
{
    EXPECT_EQ(ParseAssignment("To=a=b"), std::make_pair(std::string("To"), std::string("a=b")));
    EXPECT_EQ(ParseAssignment("Subject="), std::make_pair(std::string("Subject"), std::string()));
    EXPECT_THROW(ParseAssignment("NoEquals"), UsageError);
    EXPECT_THROW(ParseAssignment("=value"), UsageError);
}

TEST(Assignments, MailerTakesTheListItemsByNumberOrName)
{
    const std::pair<std::string, int> cases[] = {{"0", 0}, {"SMTP", 0}, {"smtp", 0}, {"1", 1}, {"Mapi", 1}};
    for (const auto &[value, index] : cases)
        EXPECT_EQ(MailerListIndex(value), index) << value;
    EXPECT_THROW(MailerListIndex("2"), UsageError);  // the FILE mailer has no list item
    EXPECT_THROW(MailerListIndex(""), UsageError);
    EXPECT_TRUE(IsPageKey("ServerSMTP"));
    EXPECT_FALSE(IsPageKey("serversmtp"));
    EXPECT_FALSE(IsPageKey("GameName"));
}

}  // namespace
