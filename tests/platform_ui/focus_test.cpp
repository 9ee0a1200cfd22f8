// Focus moves and what the controls tell their parent about them.
#include "platform/combo_box.h"
#include "platform/edit.h"
#include "platform/user_input.h"
#include "platform_ui/window_fixture.h"

#include <gtest/gtest.h>

namespace {

class FocusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(MakeControl(parent, "Panel", host.Object(), 1));
        ASSERT_TRUE(MakeControl(edit, "Edit", parent, 10));
        ASSERT_TRUE(MakeControl(combo, "ComboBox", parent, 12));
        combo.AddString("SMTP");
    }
    void TearDown() override { SetFocus(nullptr); }

    ScopedHostWindow host;
    RecordingWindow parent;
    CEdit edit;
    CComboBox combo;
};

TEST_F(FocusTest, LoserIsToldBeforeGainerAndRefocusTellsNothing)
{
    edit.SetFocus();
    edit.SetFocus();
    EXPECT_EQ(combo.SetFocus(), &edit);
    SetFocus(nullptr);
    const std::vector<Command> expected{
        {10, EN_SETFOCUS}, {10, EN_KILLFOCUS}, {12, CBN_SETFOCUS}, {12, CBN_KILLFOCUS}};
    EXPECT_EQ(parent.commands, expected);
}

TEST_F(FocusTest, DestroyedHolderTakesFocusSilently)
{
    edit.SetFocus();
    parent.commands.clear();
    edit.DestroyWindow();
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_TRUE(parent.commands.empty());
}

TEST_F(FocusTest, ChoosingAnItemClicksIntoTheListFirst)
{
    edit.SetFocus();
    parent.commands.clear();
    EXPECT_FALSE(ChooseListItem(combo.m_hWnd, 1));
    EXPECT_TRUE(parent.commands.empty());
    ASSERT_TRUE(ChooseListItem(combo.m_hWnd, 0));
    const std::vector<Command> expected{{10, EN_KILLFOCUS}, {12, CBN_SETFOCUS}, {12, CBN_SELCHANGE}};
    EXPECT_EQ(parent.commands, expected);
    EXPECT_EQ(combo.GetCurSel(), 0);
}

}  // namespace
