// ConfigPageDriver: changes the settings of an open game the way a person
// does on the plug-in's configuration page: each value typed into its
// control, the focus moved on, then the change confirmed (OnOk). Only the
// keys the page shows go this way. Host's thread only.
#pragma once

#include "host/host_output.h"
#include "host/plugin_module.h"
#include "host/settings_keys.h"

class ConfigPageDriver {
public:
    ConfigPageDriver(const EntryPoints &api, HostOutput &output) : m_api(api), m_output(output) {}

    // `keys` are page keys (IsPageKey) with UTF-8 values; "Mailer" is chosen
    // in the mailer list first, as a person would before filling the rows
    // it shows. Throws UsageError or TextCodecError for a value the page
    // cannot take.
    void Apply(const CString &game, const Assignments &keys);

private:
    // CreateConfigDialog with the host's settings tree, each value typed into
    // its control or chosen in the mailer list, the focus moved on, OnOk.
    void ApplyOnPage(const CString &game, const Assignments &keys);
    // Without the platform's window model: the same change to the registry
    // through OnSave, Close and OnRestore.
    void ApplyThroughSettingsRoundTrip(const CString &game, const Assignments &keys);

    const EntryPoints &m_api;
    HostOutput &m_output;
};
