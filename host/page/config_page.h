// ConfigPage: the plug-in's configuration page of one open game, opened
// as a host opens it: CreateConfigDialog into a settings window of the
// host's own, the page of the new "Transport" item shown. Whoever fills
// it (a script's values, a person at the terminal) works on its window's
// controls; Confirm is the host's OK. Host's thread only.
#pragma once

#include "host/page/settings_window.h"
#include "host/session/plugin_module.h"

class ConfigPage {
public:
    // Throws PluginError when the plug-in adds no page for the game.
    ConfigPage(const EntryPoints &api, const CString &game);

    HWND Window() const { return m_page; }
    // The host's settings window that holds the page, for sections of the
    // host's own beside it.
    HWND SettingsWindowHandle() const { return m_settings.Window(); }
    // Moves the focus off the page, so the field that had it is stored as
    // clicking the host's OK does, then OnOk.
    void Confirm();

private:
    const EntryPoints &m_api;
    CString m_game;
    SettingsWindow m_settings;
    HWND m_page = nullptr;
};
