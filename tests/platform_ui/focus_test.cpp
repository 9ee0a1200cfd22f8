// Focus moves and what the controls tell their parent about them; the
// person-like input helpers built on them.
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
        ASSERT_TRUE(MakeControl(parent, "Panel", *host.Object(), 1));
        ASSERT_TRUE(MakeControl(first, "Edit", parent, 10));
        ASSERT_TRUE(MakeControl(second, "Edit", parent, 11));
        ASSERT_TRUE(MakeControl(combo, "ComboBox", parent, 12));
        combo.AddString("SMTP");
        combo.AddString("MAPI");
    }
    void TearDown() override { SetFocus(nullptr); }

    ScopedHostWindow host;
    RecordingWindow parent;
    CEdit first, second;
    CComboBox combo;
};

TEST_F(FocusTest, MovingFocusTellsLoserThenGainer)
{
    first.SetFocus();
    EXPECT_EQ(second.SetFocus(), &first);
    EXPECT_EQ(GetFocus(), second.m_hWnd);
    const std::vector<Command> expected{{10, EN_SETFOCUS}, {10, EN_KILLFOCUS}, {11, EN_SETFOCUS}};
    EXPECT_EQ(parent.commands, expected);
}

TEST_F(FocusTest, RefocusingTheHolderTellsNothing)
{
    first.SetFocus();
    parent.commands.clear();
    first.SetFocus();
    EXPECT_TRUE(parent.commands.empty());
}

TEST_F(FocusTest, ComboBoxUsesItsOwnCodes)
{
    combo.SetFocus();
    SetFocus(nullptr);
    const std::vector<Command> expected{{12, CBN_SETFOCUS}, {12, CBN_KILLFOCUS}};
    EXPECT_EQ(parent.commands, expected);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(FocusTest, DestroyedHolderTakesFocusSilently)
{
    first.SetFocus();
    parent.commands.clear();
    first.DestroyWindow();
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_TRUE(parent.commands.empty());
}

TEST_F(FocusTest, TypingClicksIntoTheEditFirst)
{
    first.SetFocus();
    parent.commands.clear();
    ASSERT_TRUE(TypeText(second.m_hWnd, "typed"));
    const std::vector<Command> expected{{10, EN_KILLFOCUS}, {11, EN_SETFOCUS}};
    EXPECT_EQ(parent.commands, expected);
    EXPECT_EQ(GetWindowString(second.m_hWnd), "typed");
}

TEST_F(FocusTest, ChoosingAListItemFocusesThenReportsSelection)
{
    first.SetFocus();
    parent.commands.clear();
    ASSERT_TRUE(ChooseListItem(combo.m_hWnd, 1));
    const std::vector<Command> expected{{10, EN_KILLFOCUS}, {12, CBN_SETFOCUS}, {12, CBN_SELCHANGE}};
    EXPECT_EQ(parent.commands, expected);
    EXPECT_EQ(combo.GetCurSel(), 1);
}

TEST_F(FocusTest, ChoosingNoItemChangesNothing)
{
    first.SetFocus();
    parent.commands.clear();
    EXPECT_FALSE(ChooseListItem(combo.m_hWnd, 2));
    EXPECT_FALSE(ChooseListItem(first.m_hWnd, 0));
    EXPECT_TRUE(parent.commands.empty());
    EXPECT_EQ(GetFocus(), first.m_hWnd);
}

}  // namespace
