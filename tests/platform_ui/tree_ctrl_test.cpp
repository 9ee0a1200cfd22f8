// Tree items: masks, order and handles.
#include "platform/tree_ctrl.h"
#include "platform_ui/window_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TreeCtrlTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE, RECT{}, &host.Object(), 100)); }

    ScopedHostWindow host;
    CTreeCtrl tree;
};

TEST_F(TreeCtrlTest, InsertSetsWhatTheMaskNamesWhereInsertAfterSays)
{
    const HTREEITEM b = tree.InsertItem(TVIF_TEXT | TVIF_PARAM, "b", 3, 4, 1, 1, 42, TVI_ROOT, TVI_LAST);
    tree.InsertItem(TVIF_PARAM, "ignored", 0, 0, 0, 0, 43, TVI_ROOT, TVI_FIRST);
    tree.InsertItem("c", TVI_ROOT, b);
    const HTREEITEM child = tree.InsertItem("b1", b);
    std::vector<std::string> texts;
    for (HTREEITEM item = tree.GetRootItem(); item; item = tree.GetNextSiblingItem(item))
        texts.emplace_back(tree.GetItemText(item).str() + "/" + std::to_string(tree.GetItemData(item)));
    EXPECT_EQ(texts, (std::vector<std::string>{"/43", "b/42", "c/0"}));
    EXPECT_EQ(b->image, 0);
    EXPECT_EQ(tree.GetParentItem(child), b);
    EXPECT_EQ(tree.GetCount(), 4u);
}

TEST_F(TreeCtrlTest, ForeignAndDeletedHandlesAreRefused)
{
    CTreeCtrl other;
    ASSERT_TRUE(other.Create(WS_CHILD, RECT{}, &host.Object(), 101));
    const HTREEITEM foreign = other.InsertItem("foreign");
    const HTREEITEM parent = tree.InsertItem("parent");
    const HTREEITEM child = tree.InsertItem("child", parent);
    EXPECT_EQ(tree.InsertItem("x", foreign), nullptr);
    EXPECT_EQ(tree.GetItemText(foreign), "");
    EXPECT_TRUE(tree.DeleteItem(parent));
    EXPECT_FALSE(tree.DeleteItem(child));
    EXPECT_EQ(tree.GetCount(), 0u);
}

}  // namespace
