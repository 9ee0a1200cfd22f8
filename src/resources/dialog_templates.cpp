#include "resources/dialog_templates.h"

#include "resources/resource.h"

namespace {

constexpr DWORD PAGE_STYLE = WS_CHILD | DS_CONTROL | DS_SETFONT;
constexpr DWORD EDIT = WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD LABEL_LEFT = SS_LEFT | WS_GROUP;
constexpr DWORD LABEL_RIGHT = SS_RIGHT | WS_GROUP;
constexpr DWORD RULE = SS_BLACKFRAME;
constexpr DWORD MAILER_LIST = CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD SHOWN = WS_VISIBLE;

constexpr WindowKind EDIT_KIND = WindowKind::Edit;
constexpr WindowKind LABEL_KIND = WindowKind::Static;

const DialogItemTemplate TRANSPORT_PAGE_ITEMS[] = {
    {IDC_FROM, EDIT_KIND, "", 116, 9, 131, 12, EDIT | SHOWN, 0},
    {IDC_TO, EDIT_KIND, "", 116, 22, 131, 12, EDIT | SHOWN, 0},
    {IDC_SUBJECT, EDIT_KIND, "", 116, 35, 131, 12, EDIT | SHOWN, 0},
    {IDC_MAILER, WindowKind::ComboBox, "", 116, 60, 52, 50, MAILER_LIST | SHOWN, 0},
    {IDC_SERVER_SMTP, EDIT_KIND, "", 116, 74, 131, 12, EDIT, 0},
    {IDC_ACTION, EDIT_KIND, "", 85, 74, 163, 12, EDIT, 0},
    {IDC_STATIC, LABEL_KIND, "Zentar server address:", 38, 24, 72, 8, LABEL_RIGHT | SHOWN, 0},
    {IDC_STATIC, LABEL_KIND, "Subject:", 38, 37, 27, 8, LABEL_RIGHT | SHOWN, 0},
    {IDC_STATIC, LABEL_KIND, "", 64, 4, 183, 1, RULE | SHOWN, WS_EX_STATICEDGE},
    {IDC_STATIC, LABEL_KIND, "your E-mail address:", 38, 11, 64, 8, LABEL_RIGHT | SHOWN, 0},
    {IDC_STATIC, LABEL_KIND, "General information", 0, 0, 62, 8, LABEL_LEFT | SHOWN, 0},
    {IDC_STATIC, LABEL_KIND, "Outgoing Mail Server", 0, 51, 67, 8, LABEL_LEFT | SHOWN, 0},
    {IDC_STATIC, LABEL_KIND, "", 70, 55, 177, 1, RULE | SHOWN, WS_EX_STATICEDGE},
    {IDC_STATIC, LABEL_KIND, "my outgoing mail server is a", 25, 62, 87, 8, LABEL_LEFT | SHOWN, 0},
    {IDC_LABEL_SMTP, LABEL_KIND, "Outgoing mail (SMTP):", 40, 76, 72, 8, LABEL_LEFT, 0},
    {IDC_LABEL_ACTION, LABEL_KIND, "Action (FILE):", 33, 76, 44, 8, LABEL_LEFT, 0},
};

const DialogItemTemplate MAPI_ACCOUNT_ITEMS[] = {
    {IDC_STATIC, LABEL_KIND, "MAPI account:", 0, 2, 60, 8, LABEL_RIGHT | SHOWN, 0},
    {IDC_MAPI_ACCOUNT, EDIT_KIND, "", 64, 0, 120, 12, EDIT | SHOWN, 0},
    {IDC_STATIC, LABEL_KIND, "Password:", 0, 18, 60, 8, LABEL_RIGHT | SHOWN, 0},
    {IDC_MAPI_PASSWORD, EDIT_KIND, "", 64, 16, 120, 12, EDIT | ES_PASSWORD | SHOWN, 0},
};

const DialogItemTemplate SERVER_CHECK_ITEMS[] = {
    {IDC_STATIC, LABEL_KIND, "Server address:", 0, 2, 60, 8, LABEL_RIGHT | SHOWN, 0},
    {IDC_CHECK_SERVER, EDIT_KIND, "", 64, 0, 131, 12, EDIT | SHOWN, 0},
    {IDC_STATIC, LABEL_KIND, "Subject:", 0, 18, 60, 8, LABEL_RIGHT | SHOWN, 0},
    {IDC_CHECK_SUBJECT, EDIT_KIND, "", 64, 16, 131, 12, EDIT | SHOWN, 0},
    {IDC_STATIC, LABEL_KIND, "Check every", 0, 34, 60, 8, LABEL_RIGHT | SHOWN, 0},
    {IDC_CHECK_INTERVAL, EDIT_KIND, "", 64, 32, 30, 12, EDIT | ES_NUMBER | SHOWN, 0},
    {IDC_STATIC, LABEL_KIND, "minutes", 98, 34, 40, 8, LABEL_LEFT | SHOWN, 0},
};

const DialogTemplate TRANSPORT_PAGE{
    IDD_TRANSPORT_PAGE, true, PAGE_STYLE, 0, 0, 0, 250, 170, "", "MS Sans Serif", 8, TRANSPORT_PAGE_ITEMS};
const DialogTemplate MAPI_ACCOUNT{
    IDD_MAPI_ACCOUNT, true, PAGE_STYLE, 0, 0, 0, 190, 32, "", "MS Sans Serif", 8, MAPI_ACCOUNT_ITEMS};
const DialogTemplate SERVER_CHECK{
    IDD_SERVER_CHECK, true, PAGE_STYLE, 0, 0, 0, 200, 48, "", "MS Sans Serif", 8, SERVER_CHECK_ITEMS};

const DialogTemplate *const DIALOGS[] = {&TRANSPORT_PAGE, &MAPI_ACCOUNT, &SERVER_CHECK};

}  // namespace

constinit const std::span<const DialogTemplate *const> g_pluginDialogs{DIALOGS};
