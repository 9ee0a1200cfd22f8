// The window tree: creation rules, links, destruction, texts, visibility.
#include "platform/edit.h"
#include "platform/last_error.h"
#include "platform_ui/window_fixture.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>

namespace {

TEST(WindowTreeTest, ChildWindowNeedsParent)
{
    CEdit edit;
    SetLastError(0);
    EXPECT_FALSE(edit.CreateEx(0, "Edit", "", WS_CHILD, RECT{}, nullptr, 1));
    EXPECT_EQ(GetLastError(), ERROR_TLW_WITH_WSCHILD);
    EXPECT_EQ(edit.m_hWnd, nullptr);
}

TEST(WindowTreeTest, LinksParentsChildrenAndIds)
{
    ScopedHostWindow host;
    CEdit first, second;
    ASSERT_TRUE(MakeControl(first, "Edit", *host.Object(), 7));
    ASSERT_TRUE(MakeControl(second, "Edit", *host.Object(), 8));
    EXPECT_EQ(GetParent(first.m_hWnd), host.Handle());
    EXPECT_EQ(GetDlgItem(host.Handle(), 8), second.m_hWnd);
    EXPECT_EQ(GetDlgItem(host.Handle(), 9), nullptr);
    EXPECT_EQ(GetChildWindows(host.Handle()), (std::vector<HWND>{first.m_hWnd, second.m_hWnd}));
    EXPECT_EQ(first.GetDlgCtrlID(), 7);
    EXPECT_EQ(GetWindowKind(first.m_hWnd), WindowKind::Edit);
    EXPECT_EQ(CWnd::FromHandle(second.m_hWnd), &second);
}

TEST(WindowTreeTest, DestroyingParentDestroysChildrenAndUnbindsObjects)
{
    auto host = std::make_unique<ScopedHostWindow>();
    CEdit edit;
    ASSERT_TRUE(MakeControl(edit, "Edit", *host->Object(), 1));
    const HWND child = edit.m_hWnd;
    host.reset();
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(edit.m_hWnd, nullptr);
}

TEST(WindowTreeTest, DeletingObjectDestroysItsWindowOnly)
{
    ScopedHostWindow host;
    HWND child = nullptr;
    {
        CEdit edit;
        ASSERT_TRUE(MakeControl(edit, "Edit", *host.Object(), 1));
        child = edit.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(child));
    EXPECT_TRUE(IsWindow(host.Handle()));
    EXPECT_TRUE(GetChildWindows(host.Handle()).empty());
}

TEST(WindowTreeTest, FromHandleKeepsOneWrapperForUnboundWindows)
{
    ScopedHostWindow host;
    CWnd *wrapper = CWnd::FromHandle(host.Handle());
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(CWnd::FromHandle(host.Handle()), wrapper);
    EXPECT_EQ(wrapper->m_hWnd, host.Handle());
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
}

TEST(WindowTreeTest, TextKeepsEightBitAndLongValues)
{
    ScopedHostWindow host;
    CEdit edit;
    ASSERT_TRUE(MakeControl(edit, "Edit", *host.Object(), 1));
    const std::string cyrillic = "\xC8\xE3\xF0\xE0 \xFF\x80\x01";
    edit.SetWindowText(cyrillic.c_str());
    EXPECT_EQ(GetWindowString(edit.m_hWnd).str(), cyrillic);
    const std::string longText(200000, 'x');
    edit.SetWindowText(longText.c_str());
    EXPECT_EQ(GetWindowString(edit.m_hWnd).str(), longText);
    char small[4];
    EXPECT_EQ(GetWindowTextA(edit.m_hWnd, small, sizeof small), 3);
    EXPECT_STREQ(small, "xxx");
}

TEST(WindowTreeTest, VisibilityNeedsEveryAncestorVisible)
{
    ScopedHostWindow host;
    CWnd panel;
    CEdit edit;
    ASSERT_TRUE(MakeControl(panel, "Panel", *host.Object(), 1, 0));
    ASSERT_TRUE(MakeControl(edit, "Edit", panel, 2));
    EXPECT_FALSE(edit.IsWindowVisible());
    EXPECT_FALSE(panel.ShowWindow(SW_SHOW));
    EXPECT_TRUE(edit.IsWindowVisible());
    EXPECT_TRUE(edit.ShowWindow(SW_HIDE));
    EXPECT_FALSE(edit.IsWindowVisible());
}

TEST(WindowTreeTest, OtherThreadsCannotTouchAWindow)
{
    ScopedHostWindow host;
    CEdit edit;
    ASSERT_TRUE(MakeControl(edit, "Edit", *host.Object(), 1));
    edit.SetWindowText("mine");
    CWnd *hostObject = host.Object();
    auto result = std::async(std::launch::async, [&] {
        CEdit stranger;
        return std::make_tuple(GetParent(edit.m_hWnd), SetWindowTextA(edit.m_hWnd, "theirs"),
                               DestroyWindow(edit.m_hWnd), CWnd::FromHandle(host.Handle()),
                               MakeControl(stranger, "Edit", *hostObject, 2));
    });
    EXPECT_EQ(result.get(), std::make_tuple(HWND(nullptr), FALSE, FALSE, static_cast<CWnd *>(nullptr), false));
    EXPECT_EQ(GetWindowString(edit.m_hWnd), "mine");
}

}  // namespace
