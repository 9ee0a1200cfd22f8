#include "host/config_page_driver.h"

#include "host/text_codec.h"

#include <algorithm>

// The page is driven as a person would once the platform has its window
// model; until then the same change goes through the plug-in's settings
// entry points (ApplyThroughSettingsRoundTrip).
#if __has_include("platform/user_input.h")
#define MORV_HOST_DRIVES_PAGE 1
#include "platform/host_window.h"
#include "platform/tree_ctrl.h"
#include "platform/user_input.h"
#include "platform/user_interface.h"
#endif

namespace {

// The mailer first, the rest in command-line order.
Assignments InPageOrder(Assignments keys)
{
    std::stable_partition(keys.begin(), keys.end(), [](const auto &pair) { return pair.first == "Mailer"; });
    return keys;
}

CString PageValue(const std::string &key, const std::string &value)
{
    if (key == "Mailer")
        return CString(std::to_string(MailerListIndex(value)));
    return CString(Utf8ToAnsi(value));
}

#if MORV_HOST_DRIVES_PAGE

// The controls of the transport page (dialog template 129) by setting.
int ControlId(const std::string &key)
{
    static const std::pair<const char *, int> CONTROLS[] = {{"Subject", 1012}, {"ServerSMTP", 1013}, {"Action", 1014},
                                                            {"To", 1061},      {"From", 1062},       {"Mailer", 1063}};
    for (const auto &[name, id] : CONTROLS)
        if (key == name)
            return id;
    return 0;
}

// The host's settings window: a window with a tree control, whose
// "Transport" items carry the plug-in's pages. The host owns the pages and
// deletes them with the window.
class SettingsWindow {
public:
    SettingsWindow() : m_window(CreateHostWindow([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; }))
    {
        m_tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASLINES, RECT{0, 0, 80, 170}, CWnd::FromHandle(m_window), 100);
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

void PutIntoControl(HWND page, const std::string &key, const std::string &value)
{
    const HWND control = GetDlgItem(page, ControlId(key));
    if (!control || !(GetWindowStyle(control) & WS_VISIBLE))
        throw UsageError("the configuration page shows no " + key + " field for this game's mailer");
    const BOOL done = key == "Mailer" ? ChooseListItem(control, MailerListIndex(value))
                                      : TypeText(control, PageValue(key, value));
    if (!done)
        throw UsageError("the configuration page did not take " + key);
}

#endif

}  // namespace

void ConfigPageDriver::Apply(const CString &game, const Assignments &keys)
{
    if (keys.empty())
        return;
#if MORV_HOST_DRIVES_PAGE
    ApplyOnPage(game, InPageOrder(keys));
#else
    ApplyThroughSettingsRoundTrip(game, InPageOrder(keys));
#endif
}

#if MORV_HOST_DRIVES_PAGE
void ConfigPageDriver::ApplyOnPage(const CString &game, const Assignments &keys)
{
    SettingsWindow settings;
    CString name = game;
    m_api.CreateConfigDialog(settings.Tree(), name);
    const HWND page = settings.TransportPage();
    if (!page)
        throw PluginError("the plug-in added no configuration page for game \"" + AnsiToUtf8(game.view()) + "\"");
    ShowWindow(page, SW_SHOW);
    for (const auto &[key, value] : keys)
        PutIntoControl(page, key, value);
    // Leaving the last field stores it, as clicking the host's OK does.
    SetFocus(settings.Tree()->GetSafeHwnd());
    m_api.OnOk(name);
}
#else
// What OnOk does to the registry, done with OnSave, Close and OnRestore: the
// game's record is replaced by a copy holding the new values.
void ConfigPageDriver::ApplyThroughSettingsRoundTrip(const CString &game, const Assignments &keys)
{
    CMapStringToString settings;
    CString tag;
    unsigned long version = 0;
    CString name = game;
    MutedOutput quiet(m_output);
    m_api.OnSave(name, settings, tag, version);
    if (tag != CString(MORV_SETTINGS_TAG) || version != MORV_SETTINGS_VERSION)
        throw PluginError("the plug-in did not hand out the settings of game \"" + AnsiToUtf8(game.view()) +
                          "\", so they cannot be edited");
    for (const auto &[key, value] : keys)
        settings.SetAt(CString(key), PageValue(key, value));
    m_api.Close(name);
    m_api.OnRestore(name, settings, tag, version);
}
#endif
