#include "host/page/settings_window.h"

#include "platform/host_window.h"

#include <algorithm>
#include <memory>

namespace {

std::vector<HTREEITEM> RootItems(const CTreeCtrl &tree)
{
    std::vector<HTREEITEM> items;
    for (HTREEITEM item = tree.GetRootItem(); item; item = tree.GetNextSiblingItem(item))
        items.push_back(item);
    return items;
}

CWnd *PageOf(const CTreeCtrl &tree, HTREEITEM item) { return reinterpret_cast<CWnd *>(tree.GetItemData(item)); }

}  // namespace

SettingsWindow::SettingsWindow()
    : m_window(CreateHostWindow([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; }))
{
    m_tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASLINES, RECT{0, 0, 80, 170}, CWnd::FromHandle(m_window), TREE_ID);
    ShowWindow(m_window, SW_SHOW);  // a host window starts hidden on Windows
}

SettingsWindow::~SettingsWindow()
{
    DeleteItemPages(m_tree);
    m_tree.DestroyWindow();
    DestroyHostWindow(m_window);
}

std::vector<CWnd *> SettingsWindow::Pages() const
{
    std::vector<CWnd *> pages;
    for (const HTREEITEM item : RootItems(m_tree))
        pages.push_back(PageOf(m_tree, item));
    return pages;
}

std::vector<std::string> SettingsWindow::RootTexts() const
{
    std::vector<std::string> texts;
    for (const HTREEITEM item : RootItems(m_tree))
        texts.emplace_back(m_tree.GetItemText(item).str());
    return texts;
}

HWND SettingsWindow::TransportPage() const
{
    const std::vector<HTREEITEM> items = RootItems(m_tree);
    const auto last = std::find_if(items.rbegin(), items.rend(),
                                   [this](HTREEITEM item) { return m_tree.GetItemText(item) == "Transport"; });
    const CWnd *page = last == items.rend() ? nullptr : PageOf(m_tree, *last);
    return page ? page->GetSafeHwnd() : nullptr;
}

void DeleteItemPages(CTreeCtrl &tree)
{
    // The host owns what the plug-in handed over as item data.
    for (const HTREEITEM item : RootItems(tree))
        std::unique_ptr<CWnd> page(PageOf(tree, item));
    tree.DeleteAllItems();
}
