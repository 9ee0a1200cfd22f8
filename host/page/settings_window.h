// SettingsWindow: a host's configuration window: a host window holding a
// tree control, into which the plug-in adds its pages (CreateConfigDialog).
// Like a real host it owns the pages handed over as item data and deletes
// them (DeleteItemPages) before its tree and window go. Host's thread only.
#pragma once

#include "platform/tree_ctrl.h"

#include <string>
#include <vector>

class SettingsWindow {
public:
    static constexpr UINT TREE_ID = 100;

    SettingsWindow();
    ~SettingsWindow();
    SettingsWindow(const SettingsWindow &) = delete;
    SettingsWindow &operator=(const SettingsWindow &) = delete;

    HWND Window() const { return m_window; }
    CTreeCtrl &Tree() { return m_tree; }
    // The data of the top-level items, in order.
    std::vector<CWnd *> Pages() const;
    std::vector<std::string> RootTexts() const;
    // The page of the last "Transport" item, or null.
    HWND TransportPage() const;

private:
    HWND m_window;
    CTreeCtrl m_tree;
};

// Deletes the window objects that the tree's top-level items carry, and
// the items.
void DeleteItemPages(CTreeCtrl &tree);
