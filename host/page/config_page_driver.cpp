#include "host/page/config_page_driver.h"

#include "host/page/config_page.h"
#include "host/text/text_codec.h"
#include "host/text/usage_error.h"
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
    ConfigPage page(m_api, game);
    for (const auto &[key, value] : InPageOrder(keys))
        PutIntoControl(page.Window(), key, value);
    page.Confirm();
}
