// CreateConfigDialog and OnOk as a host drives them: pages in the settings
// tree, the one edit copy, confirmation and what it does to the registry.
#include "mail/mailer_calls.h"
#include "mail/message_record.h"
#include "ui/page_fixture.h"

namespace {

using ConfigFlowTest = PageTest;

TEST_F(ConfigFlowTest, PageIsAHiddenChildOfTheTreesParentUnderATransportItem)
{
    api.Init(alpha);
    settings.Tree().InsertItem("General");
    CWnd *page = OpenPage(alpha);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(settings.RootTexts(), (std::vector<std::string>{"General", "Transport"}));
    EXPECT_EQ(GetParent(page->m_hWnd), settings.Window());
    EXPECT_FALSE(GetWindowStyle(page->m_hWnd) & WS_VISIBLE);
    EXPECT_EQ(AfxGetResourceHandle(), nullptr);
    const GameSettings *copy = g_pEditSettings.get();
    EXPECT_EQ(OpenPage("Beta"), nullptr);
    EXPECT_EQ(g_pEditSettings.get(), copy);
    EXPECT_EQ(host.Texts().size(), 1u);
}

TEST_F(ConfigFlowTest, HostsSessionFromTypingToRestoring)
{
    api.Init(alpha);
    CWnd *page = OpenPage(alpha);
    ASSERT_NE(page, nullptr);
    TypeText(Control(page, IDC_FROM), "me@home");
    TypeText(Control(page, IDC_TO), "zentar@server");
    ChooseListItem(Control(page, IDC_MAILER), 1);
    TypeText(Control(page, IDC_SUBJECT), "still typing");
    api.OnOk(alpha);
    CMapStringToString store = MakeMap({{"Host", "own pair"}});
    CString tag;
    unsigned long version = 0;
    api.OnSave(alpha, store, tag, version);
    api.Close(alpha);
    api.OnRestore(alpha, store, tag, version);
    const CMapStringToString expected = MakeMap({{"GameName", "Alpha"}, {"From", "me@home"}, {"To", "zentar@server"},
                                                 {"Subject", ""}, {"Mailer", "1"}, {"ServerSMTP", ""},
                                                 {"Action", ""}, {"Host", "own pair"}});
    EXPECT_EQ(store, expected);
    EXPECT_EQ(Saved(alpha), expected);
    const std::vector<std::string> texts{"Game Alpha intializing", "Alpha saved", "Game Alpha closed", "Alpha loaded",
                                         "Alpha saved"};
    EXPECT_EQ(host.Texts(), texts);
}

TEST_F(ConfigFlowTest, TwoPagesWriteIntoTheOneNewestEditCopy)
{
    api.Init(alpha);
    CWnd *first = OpenPage(alpha);
    ASSERT_NE(first, nullptr);
    TypeText(Control(first, IDC_TO), "left before the second page");
    CWnd *second = OpenPage(alpha);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(settings.RootTexts(), (std::vector<std::string>{"Transport", "Transport"}));
    TypeText(Control(second, IDC_FROM), "from second");
    TypeText(Control(first, IDC_SUBJECT), "from first");
    SetFocus(nullptr);
    EXPECT_EQ(EditCopy("To"), "left before the second page");
    EXPECT_EQ(EditCopy("From"), "from second");
    EXPECT_EQ(EditCopy("Subject"), "from first");
}

TEST_F(ConfigFlowTest, EditCopyOfAnotherGameIsRefused)
{
    CString beta("Beta"), gamma("Gamma");
    api.Init(alpha);
    api.Init(beta);
    Restore(gamma, MakeMap({{"GameName", "Stored"}}));
    CWnd *page = OpenPage(alpha);
    ASSERT_NE(page, nullptr);
    TypeText(Control(page, IDC_TO), "x");
    SetFocus(nullptr);
    host.ClearNotifications();
    api.OnOk(beta);
    ASSERT_NE(OpenPage(gamma), nullptr);
    api.OnOk(gamma);
    EXPECT_EQ(host.Texts(), (std::vector<std::string>{"Internal error 1.", "Internal error 1."}));
    EXPECT_EQ(Saved(alpha), MakeMap({{"GameName", "Alpha"}}));
    EXPECT_EQ(Saved(beta), MakeMap({{"GameName", "Beta"}}));
    EXPECT_EQ(Saved(gamma), MakeMap({{"GameName", "Stored"}}));
}

TEST_F(ConfigFlowTest, DeliveryAfterOkUsesTheNewSettings)
{
    struct SucceedingMailer {
        SucceedingMailer()
        {
            static constexpr auto succeed = [](CMessageRecord &) -> BOOL { return TRUE; };
            static constexpr MailerCalls mailers{succeed, succeed};
            UseMailerCalls(&mailers);
        }
        ~SucceedingMailer() { UseMailerCalls(nullptr); }
    } mailer;
    api.Init(alpha);
    CWnd *page = OpenPage(alpha);
    ASSERT_NE(page, nullptr);
    TypeText(Control(page, IDC_TO), "new@zentar");
    ChooseListItem(Control(page, IDC_MAILER), 1);
    SetFocus(nullptr);
    api.OnOk(alpha);
    CMapStringToString message = MakeMap({{"GameName", "Alpha"}, {"Body", "turn"}, {"To", "own@message"}});
    api.Send(message);
    ASSERT_TRUE(host.PumpUntil([this] { return host.SentRecords().size() == 1; }));
    CMapStringToString record = host.SentRecords().front();
    EXPECT_EQ(record["To"], "new@zentar");
    EXPECT_EQ(record["Mailer"], "1");
    EXPECT_EQ(record["Body"], "turn");
}

TEST_F(ConfigFlowTest, OkAfterCloseOpensTheGameAgainSilently)
{
    api.Init(alpha);
    ASSERT_NE(OpenPage(alpha), nullptr);
    api.Close(alpha);
    host.ClearNotifications();
    api.OnOk(alpha);
    api.OnOk(alpha);
    api.Init(alpha);
    EXPECT_TRUE(host.Texts().empty());
    EXPECT_EQ(Saved(alpha).GetCount(), 7);
}

TEST_F(ConfigFlowTest, OkWithoutEditCopyDoesNothing)
{
    api.Init(alpha);
    api.OnOk(alpha);
    ASSERT_NE(OpenPage(alpha), nullptr);
    api.OnClose();
    api.OnOk(alpha);
    EXPECT_EQ(host.Texts(), std::vector<std::string>{"Game Alpha intializing"});
    EXPECT_TRUE(Saved(alpha).IsEmpty());
}

TEST_F(ConfigFlowTest, UnusualTreesCostNeitherACrashNorAPage)
{
    api.Init(alpha);
    CTreeCtrl orphan, windowless;
    ASSERT_TRUE(orphan.Create(WS_VISIBLE, RECT{}, nullptr, 1));
    api.CreateConfigDialog(&orphan, alpha);
    api.CreateConfigDialog(&windowless, alpha);
    api.CreateConfigDialog(nullptr, alpha);
    ASSERT_EQ(orphan.GetCount(), 1u);
    EXPECT_EQ(reinterpret_cast<CWnd *>(orphan.GetItemData(orphan.GetRootItem()))->m_hWnd, nullptr);
    EXPECT_EQ(windowless.GetCount(), 0u);
    DeleteItemPages(orphan);
}

}  // namespace
