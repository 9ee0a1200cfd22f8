// SettingsEdit: an editing's changes written into the project as it is
// when they are saved.
#include "host/project/settings_edit.h"

#include <gtest/gtest.h>

namespace {

GameSection Section(const std::map<std::string, std::string> &pairs)
{
    GameSection section{"OXU:-)Transport", 100};
    for (const auto &[key, value] : pairs)
        section.pairs.SetAt(key, value);
    return section;
}

std::map<std::string, std::string> Pairs(const GameSection &section)
{
    std::map<std::string, std::string> pairs;
    for (const auto &[key, value] : section.pairs)
        pairs[key.str()] = value.str();
    return pairs;
}

// The page adds the keys it shows empty: no change, nothing written.
TEST(SettingsEditTest, WritesOnlyWhatChangedOverWhatOthersChangedMeanwhile)
{
    SettingsEdit edit(Section({{"From", "a"}, {"Subject", "s"}}));
    edit.SetEdited(Section({{"From", "mine"}, {"Subject", "s"}, {"To", ""}}));
    const GameSection current = Section({{"From", "a"}, {"Subject", "theirs"}, {"To", "t"}, {"New", "n"}});
    EXPECT_TRUE(edit.ChangedMeanwhile(current).empty());
    EXPECT_EQ(Pairs(edit.AppliedTo(current)),
              (std::map<std::string, std::string>{{"From", "mine"}, {"Subject", "theirs"}, {"To", "t"}, {"New", "n"}}));
}

TEST(SettingsEditTest, AKeyChangedOnBothSidesIsAskedAboutOnceAndAnsweredEitherWay)
{
    for (const bool overwrite : {true, false}) {
        SettingsEdit edit(Section({{"Subject", "s"}}));
        edit.SetEdited(Section({{"Subject", "mine"}}));
        const std::optional<GameSection> current = Section({{"Subject", "theirs"}});
        ASSERT_EQ(edit.ChangedMeanwhile(current), std::vector<std::string>{"Subject"});
        overwrite ? edit.Overwrite({"Subject"}, current) : edit.KeepOutside({"Subject"});
        EXPECT_TRUE(edit.ChangedMeanwhile(current).empty()) << overwrite;
        EXPECT_EQ(ValueIn(edit.AppliedTo(current), "Subject"), overwrite ? "mine" : "theirs");
        EXPECT_EQ(edit.ChangedMeanwhile(Section({{"Subject", "again"}})).size(), overwrite ? 1u : 0u)
            << "a later change outside is asked about anew";
    }
}

}  // namespace
