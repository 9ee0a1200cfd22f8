#include "host/config_page_driver.h"

#include "host/text_codec.h"

#include <algorithm>

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

}  // namespace

void ConfigPageDriver::Apply(const CString &game, const Assignments &keys)
{
    if (keys.empty())
        return;
    // DRIVING THE PAGE: once the platform's dialog and tree model is in, this
    // is where the page is driven: CreateConfigDialog with a settings tree,
    // the "Transport" item's page, each value typed into its control (the
    // mailer chosen in the list) and the focus moved on, then OnOk. Until
    // then the same change reaches the plug-in through its own entry points.
    ApplyThroughSettingsRoundTrip(game, InPageOrder(keys));
}

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
