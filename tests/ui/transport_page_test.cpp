// The transport page: what it shows when opened, and what reaches the edit
// copy as a person types, chooses and moves the focus.
#include "platform/dialog_template.h"
#include "resources/plugin_resources.h"
#include "resources/resource.h"
#include "ui/page_fixture.h"

namespace {

using TransportPageTest = PageTest;

bool Shown(CWnd *page, int id) { return IsWindowVisible(GetDlgItem(page->m_hWnd, id)); }

TEST_F(TransportPageTest, TemplateHoldsEveryControlInTabOrder)
{
    const DialogTemplate *page = FindDialogTemplate(&g_pluginResources, IDD_TRANSPORT_PAGE);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->style, WS_CHILD | DS_CONTROL | DS_SETFONT);
    EXPECT_EQ(std::string(page->fontName) + " " + std::to_string(page->pointSize), "MS Sans Serif 8");
    std::vector<int> ids;
    std::vector<std::string> labels;
    for (const DialogItemTemplate &item : page->items) {
        ids.push_back(item.id);
        if (*item.text)
            labels.emplace_back(item.text);
    }
    const std::vector<int> expectedIds{IDC_FROM, IDC_TO, IDC_SUBJECT, IDC_MAILER, IDC_SERVER_SMTP, IDC_ACTION,
                                       -1, -1, -1, -1, -1, -1, -1, -1, IDC_LABEL_SMTP, IDC_LABEL_ACTION};
    const std::vector<std::string> expectedLabels{"Zentar server address:", "Subject:", "your E-mail address:",
                                                  "General information", "Outgoing Mail Server",
                                                  "my outgoing mail server is a", "Outgoing mail (SMTP):",
                                                  "Action (FILE):"};
    EXPECT_EQ(ids, expectedIds);
    EXPECT_EQ(labels, expectedLabels);
    EXPECT_NE(FindDialogTemplate(&g_pluginResources, IDD_MAPI_ACCOUNT), nullptr);
    EXPECT_NE(FindDialogTemplate(&g_pluginResources, IDD_SERVER_CHECK), nullptr);
}

TEST_F(TransportPageTest, RecordWithOnlyTheNameOpensEmptyOnSmtp)
{
    Open("Alpha");
    CWnd *page = OpenPage("Alpha");
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(page->IsWindowVisible());
    page->ShowWindow(SW_SHOW);
    for (int id : {IDC_FROM, IDC_TO, IDC_SUBJECT, IDC_SERVER_SMTP, IDC_ACTION})
        EXPECT_EQ(GetWindowString(Control(page, id)), "") << id;
    EXPECT_EQ(SendMessageA(Control(page, IDC_MAILER), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(GetWindowString(Control(page, IDC_MAILER)), "SMTP");
    EXPECT_EQ(SendMessageA(Control(page, IDC_MAILER), CB_GETCOUNT, 0, 0), 2);
    EXPECT_TRUE(Shown(page, IDC_SERVER_SMTP) && Shown(page, IDC_LABEL_SMTP));
    EXPECT_FALSE(Shown(page, IDC_ACTION) || Shown(page, IDC_LABEL_ACTION));
    EXPECT_EQ(*g_pEditSettings, MakeMap({{"GameName", "Alpha"}, {"From", ""}, {"Subject", ""}, {"To", ""},
                                         {"ServerSMTP", ""}, {"Action", ""}, {"Mailer", ""}}));
}

TEST_F(TransportPageTest, PageShowsTheRecordsTexts)
{
    Restore("Alpha", MakeMap({{"GameName", "Alpha"}, {"From", "me@home"}, {"To", "zentar@server"},
                              {"Subject", "\xD5\xEE\xE4"}, {"ServerSMTP", "mail.example"}, {"Action", "run"}}));
    CWnd *page = OpenPage("Alpha");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(GetWindowString(Control(page, IDC_FROM)), "me@home");
    EXPECT_EQ(GetWindowString(Control(page, IDC_TO)), "zentar@server");
    EXPECT_EQ(GetWindowString(Control(page, IDC_SUBJECT)), "\xD5\xEE\xE4");
    EXPECT_EQ(GetWindowString(Control(page, IDC_SERVER_SMTP)), "mail.example");
    EXPECT_EQ(GetWindowString(Control(page, IDC_ACTION)), "run");
}

struct MailerCase {
    const char *mailer;
    int selected;
    bool smtpRow;
    bool actionRow;
};

class MailerOnOpeningTest : public PageTest, public ::testing::WithParamInterface<MailerCase> {};

TEST_P(MailerOnOpeningTest, SelectsAndShowsTheMailersRows)
{
    Restore("Alpha", MakeMap({{"GameName", "Alpha"}, {"Mailer", GetParam().mailer}}));
    CWnd *page = OpenPage("Alpha");
    ASSERT_NE(page, nullptr);
    page->ShowWindow(SW_SHOW);
    EXPECT_EQ(SendMessageA(Control(page, IDC_MAILER), CB_GETCURSEL, 0, 0), GetParam().selected);
    EXPECT_EQ(Shown(page, IDC_SERVER_SMTP), GetParam().smtpRow);
    EXPECT_EQ(Shown(page, IDC_LABEL_SMTP), GetParam().smtpRow);
    EXPECT_EQ(Shown(page, IDC_ACTION), GetParam().actionRow);
    EXPECT_EQ(Shown(page, IDC_LABEL_ACTION), GetParam().actionRow);
}

INSTANTIATE_TEST_SUITE_P(Mailers, MailerOnOpeningTest,
                         ::testing::Values(MailerCase{"", 0, true, false}, MailerCase{"0", 0, true, false},
                                           MailerCase{"1", 1, false, false}, MailerCase{"2", -1, false, true},
                                           MailerCase{"abc", 0, true, false}, MailerCase{" 1x", 1, false, false},
                                           MailerCase{"-3", -1, false, false}));

TEST_F(TransportPageTest, LeavingTheListWithoutAChoiceKeepsFileMailer)
{
    Restore("Alpha", MakeMap({{"GameName", "Alpha"}, {"Mailer", "2"}}));
    CWnd *page = OpenPage("Alpha");
    ASSERT_NE(page, nullptr);
    SetFocus(Control(page, IDC_MAILER));
    SetFocus(Control(page, IDC_FROM));
    EXPECT_EQ(EditCopy("Mailer"), "2");
}

TEST_F(TransportPageTest, ChoosingMapiHidesSmtpRowButStoresOnlyOnLeaving)
{
    Open("Alpha");
    CWnd *page = OpenPage("Alpha");
    ASSERT_NE(page, nullptr);
    page->ShowWindow(SW_SHOW);
    ASSERT_TRUE(ChooseListItem(Control(page, IDC_MAILER), 1));
    EXPECT_FALSE(Shown(page, IDC_SERVER_SMTP) || Shown(page, IDC_LABEL_SMTP));
    EXPECT_EQ(EditCopy("Mailer"), "");
    SetFocus(Control(page, IDC_TO));
    EXPECT_EQ(EditCopy("Mailer"), "1");
}

TEST_F(TransportPageTest, TypingReachesTheEditCopyWhenThatEditLosesFocus)
{
    Open("Alpha");
    CWnd *page = OpenPage("Alpha");
    ASSERT_NE(page, nullptr);
    TypeText(Control(page, IDC_TO), "zentar@server");
    SetWindowTextA(Control(page, IDC_SUBJECT), "not left yet");
    EXPECT_EQ(EditCopy("To"), "");
    TypeText(Control(page, IDC_FROM), "me@home");
    EXPECT_EQ(EditCopy("To"), "zentar@server");
    EXPECT_EQ(EditCopy("Subject"), "");
    EXPECT_EQ(EditCopy("From"), "");
    TypeText(Control(page, IDC_SERVER_SMTP), "");
    EXPECT_EQ(EditCopy("From"), "me@home");
}

TEST_F(TransportPageTest, EveryEditStoresItsOwnKey)
{
    Open("Alpha");
    CWnd *page = OpenPage("Alpha");
    ASSERT_NE(page, nullptr);
    const std::pair<int, const char *> fields[] = {{IDC_FROM, "From"}, {IDC_TO, "To"}, {IDC_SUBJECT, "Subject"},
                                                   {IDC_SERVER_SMTP, "ServerSMTP"}, {IDC_ACTION, "Action"}};
    for (const auto &[id, key] : fields) {
        TypeText(Control(page, id), key);
        SetFocus(nullptr);
        EXPECT_EQ(EditCopy(key), key);
    }
}

TEST_F(TransportPageTest, WithoutEditCopyThePageStoresNothing)
{
    Open("Alpha");
    CWnd *page = OpenPage("Alpha");
    ASSERT_NE(page, nullptr);
    api.OnClose();
    TypeText(Control(page, IDC_TO), "late");
    ChooseListItem(Control(page, IDC_MAILER), 1);
    SetFocus(nullptr);
    EXPECT_EQ(g_pEditSettings, nullptr);
}

}  // namespace
