// Dialogs from templates: lookup through the resource handle, controls,
// OnInitDialog, data exchange, message maps and the default focus.
#include "platform/ddx.h"
#include "platform/dialog.h"
#include "platform/dialog_template.h"
#include "platform/edit.h"
#include "platform_ui/window_fixture.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT IDD_CHILD = 500;
constexpr UINT IDD_POPUP = 501;
constexpr int ID_NAME = 10;
constexpr int ID_HIDDEN = 11;

const DialogItemTemplate ITEMS[] = {
    {-1, WindowKind::Static, "Name:", 0, 2, 30, 8, SS_RIGHT | WS_VISIBLE, 0},
    {ID_HIDDEN, WindowKind::Edit, "", 34, 20, 60, 12, WS_TABSTOP, 0},
    {ID_NAME, WindowKind::Edit, "", 34, 0, 60, 12, WS_TABSTOP | WS_VISIBLE, WS_EX_STATICEDGE},
};
const DialogTemplate CHILD{IDD_CHILD, true, WS_CHILD | DS_CONTROL, 0, 0, 0, 100, 40, "", "MS Sans Serif", 8, ITEMS};
const DialogTemplate POPUP{IDD_POPUP, true, WS_VISIBLE, 0, 0, 0, 100, 40, "Popup", "MS Sans Serif", 8, ITEMS};
const DialogTemplate *const DIALOGS[] = {&CHILD, &POPUP};
const ResourceModule MODULE{"test", {}, {}, DIALOGS};

class NameDialog : public CDialog {
public:
    BOOL OnInitDialog() override
    {
        ++initCount;
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange *dx) override
    {
        DDX_Control(dx, ID_HIDDEN, hiddenEdit);
        DDX_Text(dx, ID_NAME, name);
    }
    void OnNameKillFocus() { ++killFocusCount; }

    int initCount = 0;
    int killFocusCount = 0;
    CString name{"initial"};
    CEdit hiddenEdit;

protected:
    const MessageMap *GetMessageMap() const override { return &s_map; }

private:
    static const MessageMapEntry s_entries[];
    static const MessageMap s_map;
};

const MessageMapEntry NameDialog::s_entries[] = {
    OnCommandNotify(EN_KILLFOCUS, ID_NAME, &NameDialog::OnNameKillFocus),
};
const MessageMap NameDialog::s_map{&CDialog::s_messageMap, s_entries};

class DialogTest : public ::testing::Test {
protected:
    void TearDown() override { SetFocus(nullptr); }

    ScopedHostWindow host;
    NameDialog dialog;
};

TEST_F(DialogTest, TemplateIsFoundThroughTheCurrentResourceHandleOnly)
{
    EXPECT_FALSE(dialog.Create(IDD_CHILD, &host.Object()));
    {
        ResourceHandleSwitch toModule(&MODULE);
        EXPECT_FALSE(dialog.Create(IDD_CHILD, nullptr));
        EXPECT_TRUE(dialog.Create(IDD_CHILD, &host.Object()));
        EXPECT_FALSE(dialog.Create(IDD_CHILD, &host.Object()));
    }
    EXPECT_EQ(AfxGetResourceHandle(), nullptr);
    EXPECT_EQ(dialog.initCount, 1);
}

TEST_F(DialogTest, ControlsFollowTheTemplate)
{
    ResourceHandleSwitch toModule(&MODULE);
    ASSERT_TRUE(dialog.Create(IDD_CHILD, &host.Object()));
    EXPECT_EQ(GetParent(dialog.m_hWnd), host.handle);
    EXPECT_FALSE(GetWindowStyle(dialog.m_hWnd) & WS_VISIBLE);
    const std::vector<HWND> children = GetChildWindows(dialog.m_hWnd);
    ASSERT_EQ(children.size(), std::size(ITEMS));
    for (std::size_t i = 0; i < children.size(); ++i) {
        EXPECT_EQ(GetDlgCtrlID(children[i]), ITEMS[i].id);
        EXPECT_EQ(GetWindowKind(children[i]), ITEMS[i].kind);
        EXPECT_EQ(GetWindowStyle(children[i]), ITEMS[i].style | WS_CHILD);
        EXPECT_EQ(GetWindowExStyle(children[i]), ITEMS[i].exStyle);
        EXPECT_EQ(GetWindowRect(children[i]).bottom, ITEMS[i].y + ITEMS[i].cy);
    }
    EXPECT_EQ(GetWindowString(children[0]), "Name:");
}

TEST_F(DialogTest, DataExchangeAndMessageMapWorkOnTheControls)
{
    ResourceHandleSwitch toModule(&MODULE);
    ASSERT_TRUE(dialog.Create(IDD_CHILD, &host.Object()));
    const HWND name = GetDlgItem(dialog.m_hWnd, ID_NAME);
    EXPECT_EQ(dialog.hiddenEdit.m_hWnd, GetDlgItem(dialog.m_hWnd, ID_HIDDEN));
    EXPECT_EQ(GetWindowString(name), "initial");
    SetWindowTextA(name, "typed");
    dialog.UpdateData(TRUE);
    EXPECT_EQ(dialog.name, "typed");
    dialog.hiddenEdit.SetFocus();
    SetFocus(name);
    EXPECT_EQ(dialog.killFocusCount, 0);
    SetFocus(nullptr);
    EXPECT_EQ(dialog.killFocusCount, 1);
}

TEST_F(DialogTest, OnlyAShownOrTopLevelDialogTakesTheFocus)
{
    ResourceHandleSwitch toModule(&MODULE);
    ASSERT_TRUE(dialog.Create(IDD_CHILD, &host.Object()));
    EXPECT_EQ(GetFocus(), nullptr);
    NameDialog popup;
    ASSERT_TRUE(popup.Create(IDD_POPUP, nullptr));
    EXPECT_TRUE(GetWindowStyle(popup.m_hWnd) & WS_VISIBLE);
    EXPECT_EQ(GetFocus(), GetDlgItem(popup.m_hWnd, ID_NAME));
}

}  // namespace
