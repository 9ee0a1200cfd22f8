// Saving a game's settings into the host's project section and opening a
// game from one, through the entry points as a host calls them.
#include "platform/resources.h"
#include "support/linked_plugin_api.h"
#include "support/test_host.h"

#include <gtest/gtest.h>

#include <future>
#include <string>

namespace {

struct Section {
    CMapStringToString store;
    CString tag;
    unsigned long version = 0;
};

Section Valid(CMapStringToString store) { return Section{std::move(store), MORV_SETTINGS_TAG, MORV_SETTINGS_VERSION}; }

class PersistenceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetResourceLanguage(ResourceLanguage::English);
        host.LoadQuietly();
    }
    void TearDown() override { api.OnClose(); }

    void Save(const char *game, Section &section)
    {
        CString name(game);
        api.OnSave(name, section.store, section.tag, section.version);
    }
    void Restore(const char *game, Section section)
    {
        CString name(game);
        api.OnRestore(name, section.store, section.tag, section.version);
    }
    // What the open game's record holds, read back by saving it afresh.
    CMapStringToString Saved(const char *game)
    {
        Section section;
        Save(game, section);
        return section.store;
    }
    void Open(const char *game)
    {
        CString name(game);
        api.Init(name);
    }

    PluginApi api = LinkedPluginApi();
    TestHost host{api};
};

TEST_F(PersistenceTest, SaveMarksSectionAndKeepsTheStoresOtherPairs)
{
    Restore("Alpha", Valid(MakeMap({{"GameName", "Alpha"}, {"To", "server@zentar"}})));
    Section section{MakeMap({{"To", "old"}, {"Other", "keep"}}), "tag", 7};
    Save("Alpha", section);
    EXPECT_EQ(section.tag, "OXU:-)Transport");
    EXPECT_EQ(section.version, 100UL);
    EXPECT_EQ(section.store, MakeMap({{"GameName", "Alpha"}, {"To", "server@zentar"}, {"Other", "keep"}}));
    EXPECT_EQ(host.Texts(), (std::vector<std::string>{"Alpha loaded", "Alpha saved"}));
}

TEST_F(PersistenceTest, SaveOfAGameNotOpenTouchesNothingAndLeavesTheLockFree)
{
    Section section{MakeMap({{"a", "b"}}), "tag", 7};
    Save("Nobody", section);
    EXPECT_EQ(section.store, MakeMap({{"a", "b"}}));
    EXPECT_EQ(section.tag, "tag");
    EXPECT_EQ(section.version, 7UL);
    auto opened = std::async(std::launch::async, [this] { Open("Other"); });
    EXPECT_TRUE(host.PumpUntil([&] { return opened.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    EXPECT_EQ(host.Texts(), std::vector<std::string>{"Game Other intializing"});
}

TEST_F(PersistenceTest, SaveCloseRestoreGivesBackExactlyTheSavedPairs)
{
    CMapStringToString pairs = MakeMap({{"GameName", "Alpha"}, {"", "empty key"}, {"Subject", "\xCF\xF0\xE8\xE2\xE5\xF2"}});
    for (int i = 0; i < 3000; ++i)
        pairs.SetAt(CString::Formatted("key%d", i), CString::Formatted("value%d", i));
    pairs.SetAt("Long", CString(std::string(100000, 'v')));
    Restore("Alpha", Valid(pairs));
    Section saved;
    Save("Alpha", saved);
    CString alpha("Alpha");
    api.Close(alpha);
    Restore("Alpha", saved);
    EXPECT_EQ(Saved("Alpha"), pairs);
    const std::vector<std::string> expected{"Alpha loaded", "Alpha saved", "Game Alpha closed", "Alpha loaded",
                                            "Alpha saved"};
    EXPECT_EQ(host.Texts(), expected);
}

TEST_F(PersistenceTest, RestoreReportsStoredNameAndKeepsAnOpenGame)
{
    Restore("Alpha", Valid(MakeMap({{"GameName", "Beta"}})));
    Restore("Alpha", Valid(MakeMap({{"To", "x"}})));
    EXPECT_TRUE(Saved("Beta").IsEmpty());
    EXPECT_EQ(Saved("Alpha"), MakeMap({{"GameName", "Beta"}}));
    EXPECT_EQ(host.Texts(), (std::vector<std::string>{"Beta loaded", "Beta saved"}));
}

struct ForeignSection {
    const char *tag;
    unsigned long version;
};

// The test name and the CTest name show the case, not its bytes.
void PrintTo(const ForeignSection &row, std::ostream *out) { *out << ::testing::PrintToString(row.tag) << " version " << row.version; }

class ForeignSectionTest : public PersistenceTest, public ::testing::WithParamInterface<ForeignSection> {};

TEST_P(ForeignSectionTest, RestoreIgnoresIt)
{
    Restore("Alpha", Section{MakeMap({{"To", "x"}}), GetParam().tag, GetParam().version});
    EXPECT_TRUE(host.Texts().empty());
    Open("Alpha");
    EXPECT_EQ(host.Texts(), std::vector<std::string>{"Game Alpha intializing"});
}

INSTANTIATE_TEST_SUITE_P(TagsAndVersions, ForeignSectionTest,
                         ::testing::Values(ForeignSection{"oxu:-)transport", 100}, ForeignSection{"OXU:-)Transport", 99},
                                           ForeignSection{"OXU:-)Transport", 101}, ForeignSection{"", 100},
                                           ForeignSection{"OXU:-)Transport ", 100}));

}  // namespace
