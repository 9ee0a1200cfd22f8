// ConnectionSection: morv-host's own section of the configuration page,
// shown under the plug-in's page: the SMTP client's settings that the
// plug-in's page does not show ("Security" chosen in a list, "Login",
// "TlsCaFile"), in a dialog of the host's own in its settings window. It
// stores nothing itself; Changes() says what the person changed. Host's
// thread only.
#pragma once

#include "host/page/settings_keys.h"
#include "platform/map_string_to_string.h"
#include "platform/wnd.h"

#include <memory>
#include <vector>

class ConnectionSection {
public:
    // Shows the values of `settings` (Windows-1251) in a dialog made in
    // `settingsWindow`, under the plug-in's page.
    ConnectionSection(HWND settingsWindow, const CMapStringToString &settings);

    HWND Window() const { return m_dialog.GetSafeHwnd(); }
    // The keys whose value the person changed, with their new values
    // (UTF-8), in the section's order.
    Assignments Changes() const;

private:
    HWND Add(const char *className, const char *text, DWORD style, const RECT &rect, DWORD exStyle = 0);
    void AddRow(const char *label, LONG top);
    void AddSecurityList(const CString &security);

    CWnd m_dialog;  // goes after its controls
    std::vector<std::unique_ptr<CWnd>> m_controls;
    HWND m_security = nullptr;
    HWND m_login = nullptr;
    HWND m_caFile = nullptr;
    LRESULT m_securityShown = CB_ERR;
    CString m_loginShown;
    CString m_caFileShown;
};
