#include "support/settings_window.h"

#include "platform/host_window.h"

SettingsWindow::SettingsWindow()
    : m_window(CreateHostWindow([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; }))
{
    m_tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASLINES, RECT{0, 0, 80, 170}, CWnd::FromHandle(m_window), TREE_ID);
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
    for (HTREEITEM item = m_tree.GetRootItem(); item; item = m_tree.GetNextSiblingItem(item))
        pages.push_back(reinterpret_cast<CWnd *>(m_tree.GetItemData(item)));
    return pages;
}

std::vector<std::string> SettingsWindow::RootTexts() const
{
    std::vector<std::string> texts;
    for (HTREEITEM item = m_tree.GetRootItem(); item; item = m_tree.GetNextSiblingItem(item))
        texts.emplace_back(m_tree.GetItemText(item).str());
    return texts;
}

void DeleteItemPages(CTreeCtrl &tree)
{
    for (HTREEITEM item = tree.GetRootItem(); item; item = tree.GetNextSiblingItem(item))
        delete reinterpret_cast<CWnd *>(tree.GetItemData(item));
    tree.DeleteAllItems();
}
