#include "settings/game_settings.h"

#include <gtest/gtest.h>

namespace {

CMapStringToString Pairs(std::initializer_list<std::pair<const char *, const char *>> pairs)
{
    CMapStringToString map;
    for (const auto &[key, value] : pairs)
        map.SetAt(key, value);
    return map;
}

TEST(GameSettingsTest, NameConstructorHoldsOnlyTheGameName)
{
    const GameSettings settings(CString("Alpha"));
    EXPECT_EQ(settings, Pairs({{"GameName", "Alpha"}}));
}

TEST(GameSettingsTest, CopyHoldsEveryPairIncludingUninterpretedOnes)
{
    const auto source = Pairs({{"GameName", "Alpha"}, {"To", "server@example.org"}, {"Colour", "\xE6\xB8"}});
    EXPECT_EQ(GameSettings(source), source);
}

TEST(GameSettingsTest, ExportReplacesEqualKeysAndKeepsTheTargetsOthers)
{
    GameSettings settings(CString("Alpha"));
    settings.SetAt("To", "new@example.org");
    auto store = Pairs({{"To", "old@example.org"}, {"HostKey", "kept"}});
    settings.ExportTo(store);
    EXPECT_EQ(store, Pairs({{"GameName", "Alpha"}, {"To", "new@example.org"}, {"HostKey", "kept"}}));
}

TEST(GameSettingsTest, MergeTakesTheSourcesGameNameAndKeepsOtherKeys)
{
    GameSettings settings(CString("Alpha"));
    settings.SetAt("From", "me@example.org");
    settings.MergeFrom(Pairs({{"GameName", "Beta"}, {"To", ""}}));
    EXPECT_EQ(settings, Pairs({{"GameName", "Beta"}, {"From", "me@example.org"}, {"To", ""}}));
}

TEST(GameSettingsTest, MergingSettingsIntoAMessageOnlyReplacesKeysTheSettingsHold)
{
    auto withEmptyTo = Pairs({{"To", "message@example.org"}, {"Body", "turn"}});
    MergePairs(withEmptyTo, Pairs({{"To", ""}}));
    EXPECT_EQ(withEmptyTo["To"], "");

    auto withoutTo = Pairs({{"To", "message@example.org"}});
    MergePairs(withoutTo, Pairs({{"GameName", "Alpha"}}));
    EXPECT_EQ(withoutTo["To"], "message@example.org");
}

TEST(GameSettingsTest, MailerNumberFollowsTheAtoiRule)
{
    const std::pair<const char *, int> rows[] = {
        {"", 0}, {"0", 0}, {"SMTP", 0}, {"1", 1}, {" 1", 1}, {"1abc", 1}, {"2", 2}, {"+3", 3}, {"-1", -1},
    };
    for (const auto &[text, number] : rows)
        EXPECT_EQ(MailerNumber(text), number) << '"' << text << '"';
}

}  // namespace
