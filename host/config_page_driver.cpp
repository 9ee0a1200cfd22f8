#include "host/config_page_driver.h"

#include "host/settings_window.h"
#include "host/text_codec.h"
#include "host/usage_error.h"
#include "platform/host_window.h"
#include "platform/user_input.h"
#include "platform/user_interface.h"

#include <algorithm>

namespace {

// The mailer first, the rest in command-line order.
Assignments InPageOrder(Assignments keys)
{
    std::stable_partition(keys.begin(), keys.end(), [](const auto &pair) { return pair.first == "Mailer"; });
    return keys;
}

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
    m_api.CreateConfigDialog(&settings.Tree(), name);
    const HWND page = settings.TransportPage();
    if (!page)
        throw PluginError("the plug-in added no configuration page for game \"" + AnsiToUtf8(game.view()) + "\"");
    ShowWindow(page, SW_SHOW);
    for (const auto &[key, value] : InPageOrder(keys))
        PutIntoControl(page, key, value);
    // Leaving the last field stores it, as clicking the host's OK does.
    SetFocus(settings.Tree().GetSafeHwnd());
    m_api.OnOk(name);
}
