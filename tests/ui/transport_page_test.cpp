// The transport page: what it shows when opened, and what reaches the edit
// copy as a person types, chooses and moves the focus.
#include "ui/page_fixture.h"

namespace {

using TransportPageTest = PageTest;

bool Shown(CWnd *page, int id) { return IsWindowVisible(GetDlgItem(page->m_hWnd, id)); }

TEST_F(TransportPageTest, RecordWithOnlyTheNameOpensEmptyOnSmtp)
{
    api.Init(alpha);
    CWnd *page = OpenPage(alpha);
    ASSERT_NE(page, nullptr);
    std::vector<std::string> labels;
    for (HWND child : GetChildWindows(page->m_hWnd))
        labels.emplace_back(GetWindowKind(child) == WindowKind::Static ? GetWindowString(child).str() : "?");
    const std::vector<std::string> expected{"?", "?", "?", "?", "?", "?", "Zentar server address:", "Subject:", "",
                                            "your E-mail address:", "General information", "Outgoing Mail Server", "",
                                            "my outgoing mail server is a", "Outgoing mail (SMTP):", "Action (FILE):"};
    EXPECT_EQ(labels, expected);
    page->ShowWindow(SW_SHOW);
    EXPECT_EQ(GetWindowString(Control(page, IDC_MAILER)), "SMTP");
    EXPECT_TRUE(Shown(page, IDC_SERVER_SMTP) && Shown(page, IDC_LABEL_SMTP));
    EXPECT_FALSE(Shown(page, IDC_ACTION) || Shown(page, IDC_LABEL_ACTION));
    EXPECT_EQ(*g_pEditSettings, MakeMap({{"GameName", "Alpha"}, {"From", ""}, {"Subject", ""}, {"To", ""},
                                         {"ServerSMTP", ""}, {"Action", ""}, {"Mailer", ""}}));
}

TEST_F(TransportPageTest, PageShowsTheRecordsTexts)
{
    const std::pair<int, const char *> fields[] = {{IDC_FROM, "me@home"}, {IDC_TO, "zentar@server"},
                                                   {IDC_SUBJECT, "\xD5\xEE\xE4"}, {IDC_SERVER_SMTP, "mail.example"},
                                                   {IDC_ACTION, "run"}};
    Restore(alpha, MakeMap({{"GameName", "Alpha"}, {"From", "me@home"}, {"To", "zentar@server"},
                            {"Subject", "\xD5\xEE\xE4"}, {"ServerSMTP", "mail.example"}, {"Action", "run"}}));
    CWnd *page = OpenPage(alpha);
    ASSERT_NE(page, nullptr);
    for (const auto &[id, text] : fields)
        EXPECT_EQ(GetWindowString(Control(page, id)), text);
}

struct MailerCase {
    const char *mailer;
    int selected;
    bool smtpRow;
    bool actionRow;
};

// The test name and the CTest name show the case, not its bytes.
void PrintTo(const MailerCase &row, std::ostream *out) { *out << "Mailer=" << ::testing::PrintToString(row.mailer); }

class MailerOnOpeningTest : public PageTest, public ::testing::WithParamInterface<MailerCase> {};

TEST_P(MailerOnOpeningTest, SelectsAndShowsTheMailersRows)
{
    Restore(alpha, MakeMap({{"GameName", "Alpha"}, {"Mailer", GetParam().mailer}}));
    CWnd *page = OpenPage(alpha);
    ASSERT_NE(page, nullptr);
    page->ShowWindow(SW_SHOW);
    EXPECT_EQ(SendMessageA(Control(page, IDC_MAILER), CB_GETCURSEL, 0, 0), GetParam().selected);
    EXPECT_EQ(Shown(page, IDC_SERVER_SMTP) && Shown(page, IDC_LABEL_SMTP), GetParam().smtpRow);
    EXPECT_EQ(Shown(page, IDC_ACTION) && Shown(page, IDC_LABEL_ACTION), GetParam().actionRow);
    SetFocus(Control(page, IDC_MAILER));
    SetFocus(nullptr);
    EXPECT_EQ(EditCopy("Mailer"), GetParam().selected < 0 ? GetParam().mailer : std::to_string(GetParam().selected));
}

INSTANTIATE_TEST_SUITE_P(Mailers, MailerOnOpeningTest,
                         ::testing::Values(MailerCase{"", 0, true, false}, MailerCase{"1", 1, false, false},
                                           MailerCase{"2", -1, false, true}, MailerCase{"abc", 0, true, false},
                                           MailerCase{" 1x", 1, false, false}, MailerCase{"-3", -1, false, false}));

TEST_F(TransportPageTest, ChoosingMapiHidesSmtpRowButStoresOnlyOnLeaving)
{
    api.Init(alpha);
    CWnd *page = OpenPage(alpha);
    ASSERT_NE(page, nullptr);
    page->ShowWindow(SW_SHOW);
    ASSERT_TRUE(ChooseListItem(Control(page, IDC_MAILER), 1));
    EXPECT_FALSE(Shown(page, IDC_SERVER_SMTP) || Shown(page, IDC_LABEL_SMTP));
    EXPECT_EQ(EditCopy("Mailer"), "");
    SetFocus(Control(page, IDC_TO));
    EXPECT_EQ(EditCopy("Mailer"), "1");
}

TEST_F(TransportPageTest, LeavingAnEditStoresOnlyItsOwnKey)
{
    api.Init(alpha);
    CWnd *page = OpenPage(alpha);
    ASSERT_NE(page, nullptr);
    const std::pair<int, const char *> fields[] = {{IDC_FROM, "From"}, {IDC_TO, "To"}, {IDC_SUBJECT, "Subject"},
                                                   {IDC_SERVER_SMTP, "ServerSMTP"}, {IDC_ACTION, "Action"}};
    for (const auto &[id, key] : fields) {
        const int other = id == IDC_FROM ? IDC_TO : IDC_FROM;
        TypeText(Control(page, id), key);
        SetWindowTextA(Control(page, other), "typed, never left");
        EXPECT_EQ(EditCopy(key), "") << key;
        SetFocus(nullptr);
        EXPECT_EQ(EditCopy(key), key);
        EXPECT_NE(EditCopy(other == IDC_TO ? "To" : "From"), "typed, never left") << key;
    }
}

TEST_F(TransportPageTest, WithoutEditCopyThePageStoresNothing)
{
    api.Init(alpha);
    CWnd *page = OpenPage(alpha);
    ASSERT_NE(page, nullptr);
    api.OnClose();
    TypeText(Control(page, IDC_TO), "late");
    ChooseListItem(Control(page, IDC_MAILER), 1);
    SetFocus(nullptr);
    EXPECT_EQ(g_pEditSettings, nullptr);
}

}  // namespace
