// CreateConfigDialog and OnOk as a host drives them: pages in the settings
// tree, the one edit copy, confirmation and what it does to the registry.
#include "resources/resource.h"
#include "ui/page_fixture.h"

#include <memory>

namespace {

using ConfigFlowTest = PageTest;

TEST_F(ConfigFlowTest, PageIsAHiddenChildOfTheTreesParentUnderATransportItem)
{
    Open("Alpha");
    settings.Tree().InsertItem("General");
    CWnd *page = OpenPage("Alpha");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(settings.RootTexts(), (std::vector<std::string>{"General", "Transport"}));
    EXPECT_EQ(GetParent(page->m_hWnd), settings.Window());
    EXPECT_FALSE(GetWindowStyle(page->m_hWnd) & WS_VISIBLE);
    EXPECT_EQ(AfxGetResourceHandle(), nullptr);
    EXPECT_TRUE(host.Texts().size() == 1);
}

TEST_F(ConfigFlowTest, GameNotOpenAddsNoPageAndKeepsTheEditCopy)
{
    Open("Alpha");
    ASSERT_NE(OpenPage("Alpha"), nullptr);
    const GameSettings *copy = g_pEditSettings.get();
    EXPECT_EQ(OpenPage("Beta"), nullptr);
    EXPECT_EQ(g_pEditSettings.get(), copy);
    EXPECT_EQ(settings.RootTexts().size(), 1u);
}

TEST_F(ConfigFlowTest, HostsSessionFromTypingToRestoring)
{
    Open("Alpha");
    CWnd *page = OpenPage("Alpha");
    ASSERT_NE(page, nullptr);
    page->ShowWindow(SW_SHOW);
    TypeText(Control(page, IDC_FROM), "me@home");
    TypeText(Control(page, IDC_TO), "zentar@server");
    TypeText(Control(page, IDC_SUBJECT), "\xD5\xEE\xE4 1");
    ChooseListItem(Control(page, IDC_MAILER), 1);
    SetFocus(nullptr);
    Confirm("Alpha");
    CMapStringToString store = MakeMap({{"Host", "own pair"}});
    CString game("Alpha"), tag;
    unsigned long version = 0;
    api.OnSave(game, store, tag, version);
    api.Close(game);
    api.OnRestore(game, store, tag, version);
    const CMapStringToString expected = MakeMap({{"GameName", "Alpha"}, {"From", "me@home"}, {"To", "zentar@server"},
                                                 {"Subject", "\xD5\xEE\xE4 1"}, {"Mailer", "1"}, {"ServerSMTP", ""},
                                                 {"Action", ""}, {"Host", "own pair"}});
    EXPECT_EQ(store, expected);
    EXPECT_EQ(Saved("Alpha"), expected);
    const std::vector<std::string> texts{"Game Alpha intializing", "Alpha saved", "Game Alpha closed", "Alpha loaded",
                                         "Alpha saved"};
    EXPECT_EQ(host.Texts(), texts);
}

TEST_F(ConfigFlowTest, TypingStillInFocusIsNotApplied)
{
    Open("Alpha");
    CWnd *page = OpenPage("Alpha");
    ASSERT_NE(page, nullptr);
    TypeText(Control(page, IDC_TO), "left");
    TypeText(Control(page, IDC_FROM), "still typing");
    Confirm("Alpha");
    CString from("unset");
    Saved("Alpha").Lookup("From", from);
    EXPECT_EQ(from, "");
    CString to;
    Saved("Alpha").Lookup("To", to);
    EXPECT_EQ(to, "left");
}

TEST_F(ConfigFlowTest, TwoPagesWriteIntoTheOneNewestEditCopy)
{
    Open("Alpha");
    CWnd *first = OpenPage("Alpha");
    ASSERT_NE(first, nullptr);
    TypeText(Control(first, IDC_TO), "lost with the first copy");
    CWnd *second = OpenPage("Alpha");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(settings.RootTexts(), (std::vector<std::string>{"Transport", "Transport"}));
    TypeText(Control(second, IDC_FROM), "from second");
    TypeText(Control(first, IDC_SUBJECT), "from first");
    SetFocus(nullptr);
    EXPECT_EQ(EditCopy("To"), "lost with the first copy");
    EXPECT_EQ(EditCopy("From"), "from second");
    EXPECT_EQ(EditCopy("Subject"), "from first");
}

TEST_F(ConfigFlowTest, EditCopyOfAnotherGameIsRefused)
{
    Open("Alpha");
    Open("Beta");
    CWnd *page = OpenPage("Alpha");
    ASSERT_NE(page, nullptr);
    TypeText(Control(page, IDC_TO), "x");
    SetFocus(nullptr);
    host.ClearNotifications();
    Confirm("Beta");
    EXPECT_EQ(host.Texts(), std::vector<std::string>{"Internal error 1."});
    EXPECT_EQ(Saved("Alpha"), MakeMap({{"GameName", "Alpha"}}));
    EXPECT_EQ(Saved("Beta"), MakeMap({{"GameName", "Beta"}}));
}

TEST_F(ConfigFlowTest, StoredGameNameThatDiffersIsRefused)
{
    Restore("Alpha", MakeMap({{"GameName", "Stored"}}));
    ASSERT_NE(OpenPage("Alpha"), nullptr);
    host.ClearNotifications();
    Confirm("Alpha");
    EXPECT_EQ(host.Texts(), std::vector<std::string>{"Internal error 1."});
    EXPECT_EQ(Saved("Alpha").GetCount(), 1);
}

TEST_F(ConfigFlowTest, OkAfterCloseOpensTheGameAgainSilently)
{
    Open("Alpha");
    ASSERT_NE(OpenPage("Alpha"), nullptr);
    CString game("Alpha");
    api.Close(game);
    host.ClearNotifications();
    Confirm("Alpha");
    Confirm("Alpha");
    Open("Alpha");
    EXPECT_TRUE(host.Texts().empty());
    EXPECT_EQ(Saved("Alpha").GetCount(), 7);
}

TEST_F(ConfigFlowTest, OkWithoutEditCopyDoesNothing)
{
    Open("Alpha");
    Confirm("Alpha");
    ASSERT_NE(OpenPage("Alpha"), nullptr);
    api.OnClose();
    Confirm("Alpha");
    EXPECT_EQ(host.Texts(), std::vector<std::string>{"Game Alpha intializing"});
    EXPECT_TRUE(Saved("Alpha").IsEmpty());
}

TEST_F(ConfigFlowTest, TreeWithoutParentGetsAWindowlessPage)
{
    Open("Alpha");
    CTreeCtrl orphan;
    ASSERT_TRUE(orphan.Create(WS_VISIBLE, RECT{}, nullptr, 1));
    CString game("Alpha");
    api.CreateConfigDialog(&orphan, game);
    ASSERT_EQ(orphan.GetCount(), 1u);
    EXPECT_EQ(reinterpret_cast<CWnd *>(orphan.GetItemData(orphan.GetRootItem()))->m_hWnd, nullptr);
    EXPECT_NE(g_pEditSettings, nullptr);
    DeleteItemPages(orphan);
}

TEST_F(ConfigFlowTest, TreeWithoutWindowOrNoTreeTakesNoPage)
{
    Open("Alpha");
    CTreeCtrl windowless;
    CString game("Alpha");
    api.CreateConfigDialog(&windowless, game);
    EXPECT_EQ(windowless.GetCount(), 0u);
    api.CreateConfigDialog(nullptr, game);
    EXPECT_EQ(settings.RootTexts().size(), 0u);
}

}  // namespace
