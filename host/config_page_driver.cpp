#include "host/config_page_driver.h"

#include "host/text_codec.h"
#include "host/usage_error.h"
#include "platform/host_window.h"
#include "platform/tree_ctrl.h"
#include "platform/user_input.h"
#include "platform/user_interface.h"

#include <algorithm>

namespace {

constexpr UINT SETTINGS_TREE_ID = 100;

// The mailer first, the rest in command-line order.
Assignments InPageOrder(Assignments keys)
{
    std::stable_partition(keys.begin(), keys.end(), [](const auto &pair) { return pair.first == "Mailer"; });
    return keys;
}

// The host's settings window: a window with a tree control, whose
// "Transport" items carry the plug-in's pages. The host owns the pages and
// deletes them with the window.
class SettingsWindow {
public:
    SettingsWindow() : m_window(CreateHostWindow([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; }))
    {
        m_tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASLINES, RECT{0, 0, 80, 170}, CWnd::FromHandle(m_window),
                      SETTINGS_TREE_ID);
    }
    ~SettingsWindow()
    {
        for (HTREEITEM item = m_tree.GetRootItem(); item; item = m_tree.GetNextSiblingItem(item))
            delete reinterpret_cast<CWnd *>(m_tree.GetItemData(item));
        m_tree.DeleteAllItems();
        m_tree.DestroyWindow();
        DestroyHostWindow(m_window);
    }
    SettingsWindow(const SettingsWindow &) = delete;
    SettingsWindow &operator=(const SettingsWindow &) = delete;

    CTreeCtrl *Tree() { return &m_tree; }
    // The page of the last "Transport" item, or null.
    HWND TransportPage() const
    {
        CWnd *page = nullptr;
        for (HTREEITEM item = m_tree.GetRootItem(); item; item = m_tree.GetNextSiblingItem(item))
            if (m_tree.GetItemText(item) == "Transport")
                page = reinterpret_cast<CWnd *>(m_tree.GetItemData(item));
        return page ? page->GetSafeHwnd() : nullptr;
    }

private:
    HWND m_window;
    CTreeCtrl m_tree;
};

// A person can only fill the rows the page shows for the chosen mailer.
void PutIntoControl(HWND page, const std::string &key, const std::string &value)
{
    const HWND control = GetDlgItem(page, PageControlId(key));
    if (!control || !(GetWindowStyle(control) & WS_VISIBLE))
        throw UsageError("the configuration page shows no " + key + " field for this game's mailer");
    const BOOL done = key == "Mailer" ? ChooseListItem(control, MailerListIndex(value))
                                      : TypeText(control, Utf8ToAnsi(value).c_str());
    if (!done)
        throw UsageError("the configuration page did not take " + key);
}

}  // namespace

void ConfigPageDriver::Apply(const CString &game, const Assignments &keys)
{
    if (keys.empty())
        return;
    SettingsWindow settings;
    CString name = game;
    m_api.CreateConfigDialog(settings.Tree(), name);
    const HWND page = settings.TransportPage();
    if (!page)
        throw PluginError("the plug-in added no configuration page for game \"" + AnsiToUtf8(game.view()) + "\"");
    ShowWindow(page, SW_SHOW);
    for (const auto &[key, value] : InPageOrder(keys))
        PutIntoControl(page, key, value);
    // Leaving the last field stores it, as clicking the host's OK does.
    SetFocus(settings.Tree()->GetSafeHwnd());
    m_api.OnOk(name);
}
