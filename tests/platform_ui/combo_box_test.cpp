// The combo box's list and selection.
#include "platform/combo_box.h"
#include "platform_ui/window_fixture.h"

#include <gtest/gtest.h>

namespace {

class ComboBoxTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(MakeControl(combo, "ComboBox", *host.Object(), 1, WS_VISIBLE | CBS_DROPDOWN));
        EXPECT_EQ(combo.AddString("SMTP"), 0);
        EXPECT_EQ(combo.AddString("MAPI"), 1);
    }

    ScopedHostWindow host;
    CComboBox combo;
};

TEST_F(ComboBoxTest, SelectingAnItemShowsItsText)
{
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(combo.SetCurSel(1), 1);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(GetWindowString(combo.m_hWnd), "MAPI");
    CString text;
    combo.GetLBText(0, text);
    EXPECT_EQ(text, "SMTP");
    EXPECT_EQ(combo.GetCount(), 2);
}

TEST_P(ComboBoxTest, IndexNamingNoItemClearsSelection)
{
    combo.SetCurSel(0);
    EXPECT_EQ(combo.SetCurSel(GetParam()), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(GetWindowString(combo.m_hWnd), "");
}

INSTANTIATE_TEST_SUITE_P(OutsideList, ComboBoxTest, ::testing::Values(2, -1, 99, -7));

TEST_F(ComboBoxTest, UnboundComboAnswersError)
{
    CComboBox unbound;
    EXPECT_EQ(unbound.GetCurSel(), CB_ERR);
    EXPECT_EQ(unbound.AddString("x"), CB_ERR);
    CString text("old");
    combo.GetLBText(5, text);
    EXPECT_TRUE(text.IsEmpty());
}

}  // namespace
