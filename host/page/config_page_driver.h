// ConfigPageDriver: changes the settings of an open game the way a person
// does on the plug-in's configuration page: the page opened in the host's
// settings tree (CreateConfigDialog), each value typed into its control or
// chosen in the mailer list with the focus moving on, then the change
// confirmed (OnOk). Only the keys the page shows go this way. Host's thread.
#pragma once

#include "host/page/settings_keys.h"
#include "host/session/plugin_module.h"

class ConfigPageDriver {
public:
    explicit ConfigPageDriver(const EntryPoints &api) : m_api(api) {}

    // `keys` are page keys (IsPageKey) with UTF-8 values; "Mailer" is chosen
    // first, as a person would before filling the rows it shows. Throws
    // UsageError for a value or row the page cannot take, TextCodecError
    // for text without a Windows-1251 form, PluginError without a page.
    void Apply(const CString &game, const Assignments &keys);

private:
    const EntryPoints &m_api;
};
