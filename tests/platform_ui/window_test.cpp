// The window tree: creation rules, links, destruction, texts, threads.
#include "platform/edit.h"
#include "platform/last_error.h"
#include "platform_ui/window_fixture.h"

#include <gtest/gtest.h>

#include <future>
#include <string>

namespace {

TEST(WindowTreeTest, ChildWindowNeedsParent)
{
    CEdit edit;
    EXPECT_FALSE(edit.CreateEx(0, "Edit", "", WS_CHILD, RECT{}, nullptr, 1));
    EXPECT_EQ(GetLastError(), ERROR_TLW_WITH_WSCHILD);
    EXPECT_EQ(edit.m_hWnd, nullptr);
}

TEST(WindowTreeTest, DestroyingParentDestroysChildrenAndUnbindsTheirObjects)
{
    auto host = std::make_unique<ScopedHostWindow>();
    CEdit first, second;
    ASSERT_TRUE(MakeControl(first, "Edit", host->Object(), 7));
    ASSERT_TRUE(MakeControl(second, "Edit", host->Object(), 8));
    EXPECT_EQ(GetDlgItem(host->handle, 8), second.m_hWnd);
    EXPECT_EQ(GetChildWindows(host->handle), (std::vector<HWND>{first.m_hWnd, second.m_hWnd}));
    const HWND child = first.m_hWnd;
    host.reset();
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(first.m_hWnd, nullptr);
}

TEST(WindowTreeTest, TextKeepsEightBitAndLongValues)
{
    ScopedHostWindow host;
    CEdit edit;
    ASSERT_TRUE(MakeControl(edit, "Edit", host.Object(), 1));
    for (const std::string &text : {std::string("\xC8\xE3\xF0\xE0 \xFF\x80\x01"), std::string(200000, 'x')}) {
        edit.SetWindowText(text.c_str());
        EXPECT_EQ(GetWindowString(edit.m_hWnd).str(), text);
    }
    char small[4];
    EXPECT_EQ(GetWindowTextA(edit.m_hWnd, small, sizeof small), 3);
    EXPECT_STREQ(small, "xxx");
}

TEST(WindowTreeTest, OtherThreadsCannotTouchAWindow)
{
    ScopedHostWindow host;
    CEdit edit;
    ASSERT_TRUE(MakeControl(edit, "Edit", host.Object(), 1));
    edit.SetWindowText("mine");
    CWnd &hostObject = host.Object();
    auto result = std::async(std::launch::async, [&] {
        CEdit stranger;
        return std::make_tuple(GetParent(edit.m_hWnd), SetWindowTextA(edit.m_hWnd, "theirs"),
                               DestroyWindow(edit.m_hWnd), CWnd::FromHandle(host.handle),
                               MakeControl(stranger, "Edit", hostObject, 2));
    });
    EXPECT_EQ(result.get(), std::make_tuple(HWND(nullptr), FALSE, FALSE, static_cast<CWnd *>(nullptr), false));
    EXPECT_EQ(GetWindowString(edit.m_hWnd), "mine");
}

}  // namespace
