// Tree items: masks, order, handles, and the tree's place among windows.
#include "platform/dialog.h"
#include "platform/tree_ctrl.h"
#include "platform_ui/window_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TreeCtrlTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE, RECT{}, host.Object(), 100)); }

    std::vector<std::string> Texts(HTREEITEM first)
    {
        std::vector<std::string> texts;
        for (HTREEITEM item = first; item; item = tree.GetNextSiblingItem(item))
            texts.emplace_back(tree.GetItemText(item).str());
        return texts;
    }

    ScopedHostWindow host;
    CTreeCtrl tree;
};

TEST_F(TreeCtrlTest, InsertSetsOnlyWhatTheMaskNames)
{
    const HTREEITEM both = tree.InsertItem(TVIF_TEXT | TVIF_PARAM, "Transport", 3, 4, 1, 1, 42, TVI_ROOT, TVI_LAST);
    const HTREEITEM dataOnly = tree.InsertItem(TVIF_PARAM, "ignored", 0, 0, 0, 0, 43, TVI_ROOT, TVI_LAST);
    ASSERT_NE(both, nullptr);
    EXPECT_EQ(tree.GetItemText(both), "Transport");
    EXPECT_EQ(tree.GetItemData(both), 42);
    EXPECT_EQ(both->image, 0);
    EXPECT_EQ(both->state, 0u);
    EXPECT_EQ(tree.GetItemText(dataOnly), "");
    EXPECT_EQ(tree.GetItemData(dataOnly), 43);
}

TEST_F(TreeCtrlTest, InsertAfterOrdersSiblings)
{
    const HTREEITEM b = tree.InsertItem("b");
    tree.InsertItem("a", TVI_ROOT, TVI_FIRST);
    tree.InsertItem("c", TVI_ROOT, b);
    tree.InsertItem("d");
    const HTREEITEM child = tree.InsertItem("b1", b);
    EXPECT_EQ(Texts(tree.GetRootItem()), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(tree.GetChildItem(b), child);
    EXPECT_EQ(tree.GetParentItem(child), b);
    EXPECT_EQ(tree.GetParentItem(b), nullptr);
    EXPECT_EQ(tree.GetCount(), 5u);
}

TEST_F(TreeCtrlTest, ForeignAndDeletedHandlesAreRefused)
{
    CTreeCtrl other;
    ASSERT_TRUE(other.Create(WS_CHILD, RECT{}, host.Object(), 101));
    const HTREEITEM foreign = other.InsertItem("foreign");
    const HTREEITEM parent = tree.InsertItem("parent");
    const HTREEITEM child = tree.InsertItem("child", parent);
    EXPECT_EQ(tree.InsertItem("x", foreign), nullptr);
    EXPECT_EQ(tree.GetItemText(foreign), "");
    EXPECT_TRUE(tree.DeleteItem(parent));
    EXPECT_FALSE(tree.DeleteItem(child));
    EXPECT_EQ(tree.GetNextSiblingItem(child), nullptr);
    EXPECT_EQ(tree.GetCount(), 0u);
}

TEST_F(TreeCtrlTest, TreeWithoutWindowTakesNoItems)
{
    CTreeCtrl windowless;
    EXPECT_EQ(windowless.InsertItem("x"), nullptr);
    EXPECT_EQ(windowless.GetRootItem(), nullptr);
}

TEST_F(TreeCtrlTest, TreeParentTakesChildWindows)
{
    CWnd *settingsWindow = CWnd::FromHandle(GetParent(tree.m_hWnd));
    ASSERT_NE(settingsWindow, nullptr);
    EXPECT_EQ(settingsWindow->m_hWnd, host.Handle());
    CWnd page;
    ASSERT_TRUE(page.CreateEx(0, "#32770", "", WS_CHILD, RECT{}, settingsWindow, 0));
    EXPECT_EQ(GetChildWindows(host.Handle()), (std::vector<HWND>{tree.m_hWnd, page.m_hWnd}));
}

}  // namespace
