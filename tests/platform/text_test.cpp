#include "platform/cstring.h"
#include "platform/map_string_to_string.h"
#include "platform/resources.h"

#include "support/scoped_variable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(CStringTest, FormatAndTrim)
{
    CString text;
    text.Format("%s %s", "Alpha", "message sent");
    EXPECT_EQ(text, "Alpha message sent");
    EXPECT_EQ(CString::Formatted("Error=%lu", 4294967295UL), "Error=4294967295");
    EXPECT_EQ(CString(" \t a b \r\n").Trim(), "a b");
    EXPECT_EQ(CString(nullptr), "");
    EXPECT_EQ(CString("\xC0\xFF").GetLength(), 2);
}

TEST(CStringTest, MidLeftRightStayWithinTheText)
{
    const CString text("abcdef");
    EXPECT_EQ(text.Left(2), "ab");
    EXPECT_EQ(text.Mid(4), "ef");
    EXPECT_EQ(text.Mid(10), "");
    EXPECT_EQ(text.Right(10), "abcdef");
    EXPECT_EQ(text.Find('d'), 3);
    EXPECT_EQ(text.Find("x"), -1);
}

// Long texts share one buffer between copies: a change to one copy leaves
// the others as they were, also when the change reads the text itself.
TEST(CStringTest, ChangingALongTextLeavesItsCopiesAlone)
{
    const std::string original(5000, 'x');
    CString text(original);
    const CString copy = text;
    text += text;
    text += text.GetString();
    EXPECT_EQ(text.str(), original + original + original + original);
    EXPECT_EQ(copy.str(), original);
    CString alone(original);
    alone += alone;
    EXPECT_EQ(alone.str(), original + original);
}

TEST(MapStringToStringTest, IndexAddsAnAbsentKeyEmptyLookupDoesNot)
{
    CMapStringToString map;
    CString value("unchanged");
    EXPECT_FALSE(map.Lookup("To", value));
    EXPECT_EQ(value, "unchanged");
    EXPECT_EQ(map.GetCount(), 0);
    EXPECT_EQ(map["To"], "");
    EXPECT_EQ(map.GetCount(), 1);
    EXPECT_TRUE(map.Lookup("To", value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(map.Lookup("to", value));  // keys compare exactly
}

// The locale chooses the language here; on Windows the user interface language does.
#if !defined(_WIN32)
TEST(ResourceLanguageTest, LocaleVariablesChooseRussianOnlyForRu)
{
    struct Row {
        const char *all, *messages, *lang;
        ResourceLanguage expected;
    };
    const Row rows[] = {
        {nullptr, nullptr, "ru_RU.CP1251", ResourceLanguage::Russian},
        {nullptr, nullptr, "en_US.UTF-8", ResourceLanguage::English},
        {"C", nullptr, "ru_RU.UTF-8", ResourceLanguage::English},
        {nullptr, "ru_RU.UTF-8", "en_US", ResourceLanguage::Russian},
        {"", nullptr, "ru", ResourceLanguage::Russian},
        {nullptr, nullptr, nullptr, ResourceLanguage::English},
    };
    for (const Row &row : rows) {
        const ScopedVariable all("LC_ALL", row.all), messages("LC_MESSAGES", row.messages), lang("LANG", row.lang);
        EXPECT_EQ(LanguageFromEnvironment(), row.expected) << (row.lang ? row.lang : "-");
    }
}
#endif

}  // namespace
