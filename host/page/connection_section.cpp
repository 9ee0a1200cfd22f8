#include "host/page/connection_section.h"

#include "host/page/connection_settings.h"
#include "host/text/text_codec.h"
#include "platform/host_window.h"

#include <optional>
#include <tuple>

namespace {

// Laid out as the plug-in's page lays out its first group: a heading with
// a rule, then a row every 13 units, labels right-aligned before the fields.
constexpr RECT SECTION{0, 170, 250, 220};  // under the 170 units of the page
constexpr LONG FIRST_ROW = 9;
constexpr LONG ROW_STEP = 13;
constexpr LONG LABEL_LEFT = 38;
constexpr LONG FIELD_LEFT = 116;
constexpr LONG FIELD_RIGHT = 247;
constexpr DWORD FIELD = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

CString Value(const CMapStringToString &settings, const char *key)
{
    CString value;
    settings.Lookup(key, value);
    return value;
}

// A value the plug-in would not take shows no choice.
LRESULT ListIndex(const CString &security)
{
    const std::optional<std::size_t> mode = SecurityModeIndex(security.str());
    return mode ? static_cast<LRESULT>(*mode) : CB_ERR;
}

}  // namespace

ConnectionSection::ConnectionSection(HWND settingsWindow, const CMapStringToString &settings)
    : m_loginShown(Value(settings, "Login")), m_caFileShown(Value(settings, "TlsCaFile"))
{
    // Tab goes through its fields as through the page's (the dialog manager
    // enters a control parent).
    m_dialog.CreateEx(WS_EX_CONTROLPARENT, "#32770", "", WS_CHILD | WS_VISIBLE | DS_CONTROL, SECTION,
                      CWnd::FromHandle(settingsWindow), 0);
    Add("Static", "Mail server connection (morv-host)", WS_CHILD | WS_VISIBLE | SS_LEFT, RECT{0, 0, 106, 8});
    Add("Static", "", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, RECT{110, 4, FIELD_RIGHT, 5}, WS_EX_STATICEDGE);
    AddRow("Security:", FIRST_ROW);
    AddSecurityList(Value(settings, "Security"));
    AddRow("Login (user name):", FIRST_ROW + ROW_STEP);
    m_login = Add("Edit", m_loginShown.GetString(), FIELD | WS_BORDER | ES_AUTOHSCROLL,
                  RECT{FIELD_LEFT, FIRST_ROW + ROW_STEP, FIELD_RIGHT, FIRST_ROW + ROW_STEP + 12});
    AddRow("Trusted CA file (PEM):", FIRST_ROW + 2 * ROW_STEP);
    m_caFile = Add("Edit", m_caFileShown.GetString(), FIELD | WS_BORDER | ES_AUTOHSCROLL,
                   RECT{FIELD_LEFT, FIRST_ROW + 2 * ROW_STEP, FIELD_RIGHT, FIRST_ROW + 2 * ROW_STEP + 12});
}

HWND ConnectionSection::Add(const char *className, const char *text, DWORD style, const RECT &rect, DWORD exStyle)
{
    auto control = std::make_unique<CWnd>();
    control->CreateEx(exStyle, className, text, style, rect, &m_dialog, 0);
    m_controls.push_back(std::move(control));
    return m_controls.back()->GetSafeHwnd();
}

void ConnectionSection::AddRow(const char *label, LONG top)
{
    Add("Static", label, WS_CHILD | WS_VISIBLE | SS_RIGHT, RECT{LABEL_LEFT, top + 2, FIELD_LEFT - 6, top + 10});
}

void ConnectionSection::AddSecurityList(const CString &security)
{
    m_security = Add("ComboBox", "", FIELD | CBS_DROPDOWN | WS_VSCROLL,
                     RECT{FIELD_LEFT, FIRST_ROW, FIELD_LEFT + 52, FIRST_ROW + 50});
    for (const std::string &mode : SecurityModes())
        SendMessageA(m_security, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(mode.c_str()));
    m_securityShown = ListIndex(security);
    SendMessageA(m_security, CB_SETCURSEL, static_cast<WPARAM>(m_securityShown), 0);
}

Assignments ConnectionSection::Changes() const
{
    Assignments changes;
    const LRESULT security = SendMessageA(m_security, CB_GETCURSEL, 0, 0);
    if (security != m_securityShown && security != CB_ERR)
        changes.emplace_back("Security", SecurityModes()[static_cast<std::size_t>(security)]);
    for (const auto &[key, edit, shown] : {std::tuple{"Login", m_login, &m_loginShown},
                                          std::tuple{"TlsCaFile", m_caFile, &m_caFileShown}})
        if (GetWindowString(edit) != *shown)
            changes.emplace_back(key, AnsiToUtf8(GetWindowString(edit).view()));
    return changes;
}
