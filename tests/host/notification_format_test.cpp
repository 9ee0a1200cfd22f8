// Porcelain and human lines, status names, the encodings at the host's edge
// and the command-line assignments.
#include "host/page/settings_keys.h"
#include "host/text/error_numbers.h"
#include "host/text/nearest_word.h"
#include "host/text/notification_format.h"
#include "host/text/terminal_codeset.h"
#include "host/text/text_codec.h"
#include "host/text/usage_error.h"
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

TEST(EscapeText, EscapesEveryControlCharacterAndTheBackslash)
{
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "plain"},
        {"a\r\nb", "a\\r\\nb"},
        {"tab\there", "tab\\there"},
        {"back\\slash", "back\\\\slash"},
        {"\\n literally", "\\\\n literally"},
        {"", ""},
        {"ё\x01", "ё\\x01"},
        {"\x1b[31mred\x07\x7f", "\\x1b[31mred\\x07\\x7f"},
        {"csi \xC2\x9B" "2J, not \xC2\xA0", "csi \\x9b2J, not \xC2\xA0"},  // C1 CSI; a no-break space stays
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

TEST(HumanLines, SpellOutTheErrorNumbers)
{
    std::vector<std::pair<std::string, std::string>> cases = {
        {"G ERR: Could not connect to x on port 25, GetLastError returns: 10061\n",
         "G ERR: Could not connect to x on port 25, GetLastError returns: 10061 (connection refused)"},
        {"GetLastError returns: 10022", "GetLastError returns: 10022 (the server's name was not found, or no address "
                                        "of it could be used)"},
        {"GetLastError returns: 10060", "GetLastError returns: 10060 (timed out)"},
        {"GetLastError returns: 0", "GetLastError returns: 0"},
        {"GetLastError returns: x", "GetLastError returns: x"},
    };
#if !defined(_WIN32)
    // The C library's numbers, which the sockets here report.
    cases.emplace_back("GetLastError returns: 111", "GetLastError returns: 111 (connection refused)");
    cases.emplace_back("GetLastError returns: 113", "GetLastError returns: 113 (no route to host)");
#endif
    for (const auto &[text, line] : cases)
        EXPECT_EQ(FormatNotification(OutputForm::Human, Text(text)), line);
    EXPECT_EQ(FormatNotification(OutputForm::Porcelain, Text(cases[0].first)),
              "text\tG ERR: Could not connect to x on port 25, GetLastError returns: 10061\\n");
}

TEST(HumanLines, LongBodiesShowTheirSizeAndFirstLineAndPorcelainAll)
{
    HostNotification sent;
    sent.kind = MORV_TN_SENT;
    const std::string body = "line 1\r\nline 2\r\nline 3\r\nline 4\r\n";
    sent.record.SetAt("Body", body.c_str());
    EXPECT_EQ(FormatNotification(OutputForm::Human, sent), "sent: Body=(4 lines, 32 bytes) line 1 ...");
    EXPECT_EQ(FormatNotification(OutputForm::Porcelain, sent),
              "sent\t{\"Body\":\"line 1\\r\\nline 2\\r\\nline 3\\r\\nline 4\\r\\n\"}");
    sent.record.SetAt("Body", "line 1\r\nline 2\r\nline 3\r\n");
    EXPECT_EQ(FormatNotification(OutputForm::Human, sent), "sent: Body=line 1\\r\\nline 2\\r\\nline 3\\r\\n");
}

TEST(GameLines, ShowMailerServerAndRecipients)
{
    CMapStringToString pairs;
    pairs.SetAt("ServerSMTP", "smtp.x:587");
    pairs.SetAt("To", "a@b; c@d");
    EXPECT_EQ(FormatGameLine(OutputForm::Human, "Alpha", pairs), "Alpha: SMTP, server smtp.x:587, to a@b; c@d");
    EXPECT_EQ(FormatGameLine(OutputForm::Porcelain, "Alpha", pairs), "game\tAlpha\tSMTP\tsmtp.x:587\ta@b; c@d");
    pairs.SetAt("Mailer", "1");
    pairs.RemoveKey("ServerSMTP");
    EXPECT_EQ(FormatGameLine(OutputForm::Human, "B", pairs), "B: MAPI, server (none), to a@b; c@d");
}

TEST(TerminalCodeset, Utf8UnlessTheLocaleNamesAnotherCodeset)
{
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"", "ANSI_X3.4-1968", "UTF-8"},           // no locale at all
        {"C", "ANSI_X3.4-1968", "UTF-8"},
        {"ru_RU.UTF-8", "ANSI_X3.4-1968", "UTF-8"},  // named, not installed
        {"de_DE.utf8@euro", "ANSI_X3.4-1968", "UTF-8"},
        {"ru_RU.KOI8-R", "ANSI_X3.4-1968", "KOI8-R"},
        {"ru_RU", "ISO-8859-5", "ISO-8859-5"},     // installed, code set implied
        {"ru_RU", "ANSI_X3.4-1968", "UTF-8"},      // not installed
    };
    for (const auto &[locale, installed, codeset] : cases)
        EXPECT_EQ(ChooseTerminalCodeset(locale, installed), codeset) << locale;
}

TEST(NearestWord, FindsTheWordWithinAFewSlips)
{
    const std::vector<std::string> commands{"config", "send", "list", "check", "demo", "help"};
    const std::pair<std::string, std::string> cases[] = {
        {"sned", "send"}, {"snd", "send"}, {"conifg", "config"}, {"CHECK", "check"}, {"lsit", "list"}, {"xyz", ""}};
    for (const auto &[word, meant] : cases)
        EXPECT_EQ(NearestWord(word, commands).value_or(""), meant) << word;
    EXPECT_EQ(NearestWord("Form", KnownKeys()).value_or(""), "From");
    EXPECT_EQ(NearestWord("serversmtp", KnownKeys()).value_or(""), "ServerSMTP");
    EXPECT_EQ(TypingDistance("ab", "ba"), 1u);
    EXPECT_EQ(TypingDistance("", "abc"), 3u);
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

TEST(TextCodec, DecodingNamesTheFirstByteOutsideTheEncodingInAnyLetterCase)
{
    const std::pair<const char *, std::string> cases[] = {
        {"utf-8", "Привет \xFF!"}, {"UTF-8", "ab\xC3"}, {"utf-8", "a\xE2\x82z"}};
    const std::size_t offsets[] = {13, 2, 1};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        try {
            ConvertText(cases[i].second, cases[i].first, "UTF-8");
            ADD_FAILURE() << "no error for case " << i;
        } catch (const TextCodecError &error) {
            EXPECT_EQ(error.Offset(), offsets[i]) << i;
        }
    }
    EXPECT_EQ(ConvertText("\xF0\xD2\xC9", "koi8-r", "UTF-8"), "При");
    EXPECT_EQ(ConvertText("", "windows-1251", "UTF-8"), "");
}

TEST(TextCodec, LossyConversionsReplaceWhatTheyCannotRead)
{
    EXPECT_EQ(Utf8ToWide("a\xFFz"), L"a\uFFFDz");
#if !defined(_WIN32)
    // iconv leaves 0x98 unassigned in Windows-1251; Windows's code page reads it as U+0098.
    EXPECT_EQ(AnsiToUtf8("a\x98z"), "a\xEF\xBF\xBDz");
#endif
    EXPECT_EQ(Koi8ToUtf8("\xF0\xD2\xC9\xD7\xC5\xD4"), "Привет");
}

TEST(Assignments, SplitAtTheFirstEqualsSign)
{
    EXPECT_EQ(ParseAssignment("To=a=b"), std::make_pair(std::string("To"), std::string("a=b")));
    EXPECT_EQ(ParseAssignment("Subject="), std::make_pair(std::string("Subject"), std::string()));
    EXPECT_THROW(ParseAssignment("NoEquals"), UsageError);
    EXPECT_THROW(ParseAssignment("=value"), UsageError);
}

TEST(Assignments, ConfigChecksKeysAndTheServersPort)
{
    const std::pair<Assignments::value_type, bool> cases[] = {
        {{"From", "a@b"}, true},           {{"Login", "me"}, true},          {{"Custom", "x"}, false},
        {{"GameName", "G"}, false},        {{"ServerSMTP", "h:587"}, true},  {{"ServerSMTP", "h:0"}, false},
        {{"ServerSMTP", "h:65536"}, false}, {{"ServerSMTP", "[::1]:99999"}, false},
        {{"ServerSMTP", "[::1]:25"}, true}, {{"ServerSMTP", "2001:db8::1"}, true}, {{"ServerSMTP", "h"}, true},
    };
    for (const auto &[pair, accepted] : cases) {
        if (accepted)
            EXPECT_NO_THROW(CheckConfigAssignment(pair.first, pair.second, false)) << pair.second;
        else
            EXPECT_THROW(CheckConfigAssignment(pair.first, pair.second, false), UsageError) << pair.second;
    }
    EXPECT_NO_THROW(CheckConfigAssignment("Custom", "x", true));
    EXPECT_THROW(CheckConfigAssignment("GameName", "G", true), UsageError);
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
