// MORVTRANSPORT: the mail transport plug-in's interface for host programs.
//
// A host loads libmorvtransport.so (dlopen), looks up these twelve entry
// points under their plain names and calls them on its user-interface
// thread, in this order: OnLoad once; Init or OnRestore for each game
// before Send, OnSave, CreateConfigDialog or OnOk for it; Close per game;
// OnClose last, then dlclose. Texts are 8-bit Windows-1251.
//
// Every report comes back as SendMessageA(window, message, kind, payload)
// to the window given to OnLoad. The host's window procedure must keep
// running (PumpMessages) while the plug-in's workers run: a worker's
// notification waits until the procedure has returned. Payload pointers are
// valid only while the procedure handles the message.
#pragma once

#include "platform/cstring.h"
#include "platform/map_string_to_string.h"
#include "platform/win_types.h"

#include <type_traits>

class CTreeCtrl;

// Notification kinds (wParam) and their payloads (lParam).
constexpr WPARAM MORV_TN_TEXT = 0;    // const char *: NUL-terminated text
constexpr WPARAM MORV_TN_STATUS = 4;  // DWORD: the whole status word
constexpr WPARAM MORV_TN_SENT = 6;    // const CMapStringToString *: the delivered record

// Status bits.
constexpr DWORD MORV_TS_SENDING = 0x01;
constexpr DWORD MORV_TS_CHECKING = 0x02;
constexpr DWORD MORV_TS_UNSENT = 0x04;
constexpr DWORD MORV_TS_BUSY = 0x08;

// Section of the host's project that OnSave fills and OnRestore accepts.
inline constexpr const char *MORV_SETTINGS_TAG = "OXU:-)Transport";
constexpr unsigned long MORV_SETTINGS_VERSION = 100;

// A message key the SMTP mailer understands: with "QuitBeforeMail" = "1"
// the message is not sent. The SMTP client connects, greets, starts TLS
// and logs in as the game's settings say, then QUITs before MAIL FROM.
// The message always ends as a failed one (nothing was sent, so no host
// counts it as a delivered turn); when every step went through, its text
// is MORV_SERVER_CHECK_PASSED with the game's name. Other mailers refuse
// such a message.
inline constexpr const char *MORV_KEY_QUIT_BEFORE_MAIL = "QuitBeforeMail";
inline constexpr const char *MORV_SERVER_CHECK_PASSED =
    "%s server check passed: QUIT before MAIL FROM, nothing was sent";

// Controls of the transport page (dialog template 129) that a host may
// drive as a person would, found by id on the page (GetDlgItem).
constexpr int MORV_IDC_SUBJECT = 1012;
constexpr int MORV_IDC_SERVER_SMTP = 1013;
constexpr int MORV_IDC_ACTION = 1014;
constexpr int MORV_IDC_TO = 1061;
constexpr int MORV_IDC_FROM = 1062;
constexpr int MORV_IDC_MAILER = 1063;

// The plug-in's version; the library's version note and the build take it
// from here.
inline constexpr const char *MORV_VERSION = "1.0.0.1";

#define MORV_EXPORT extern "C" __attribute__((visibility("default")))

MORV_EXPORT void OnLoad(HWND window, unsigned int message);
MORV_EXPORT void OnClose();
MORV_EXPORT void Init(CString &game);
MORV_EXPORT void Close(CString &game);
MORV_EXPORT void Send(CMapStringToString &message);
MORV_EXPORT void Check();
MORV_EXPORT void Cancel();
MORV_EXPORT unsigned long PrepareExit();
MORV_EXPORT void OnSave(CString &game, CMapStringToString &store, CString &tag, unsigned long &version);
MORV_EXPORT void OnRestore(CString &game, CMapStringToString &store, CString &tag, unsigned long &version);
MORV_EXPORT void CreateConfigDialog(CTreeCtrl *tree, CString &game);
MORV_EXPORT void OnOk(CString &game);

// Function pointer types for dlsym.
using MorvOnLoad = void (*)(HWND, unsigned int);
using MorvVoid = void (*)();
using MorvGame = void (*)(CString &);
using MorvSend = void (*)(CMapStringToString &);
using MorvPrepareExit = unsigned long (*)();
using MorvSection = void (*)(CString &, CMapStringToString &, CString &, unsigned long &);
using MorvCreateConfigDialog = void (*)(CTreeCtrl *, CString &);

// The twelve entry points of a loaded plug-in, as a host keeps them.
struct MorvEntryPoints {
    MorvOnLoad OnLoad = nullptr;
    MorvVoid OnClose = nullptr;
    MorvGame Init = nullptr;
    MorvGame Close = nullptr;
    MorvSend Send = nullptr;
    MorvVoid Check = nullptr;
    MorvVoid Cancel = nullptr;
    MorvPrepareExit PrepareExit = nullptr;
    MorvSection OnSave = nullptr;
    MorvSection OnRestore = nullptr;
    MorvCreateConfigDialog CreateConfigDialog = nullptr;
    MorvGame OnOk = nullptr;
};

// Fills `entryPoints` through `lookup(name)` (for instance dlsym on the
// library's handle). The name of the first entry point not found, or null
// when all twelve were.
template <typename Lookup>
const char *MorvBindEntryPoints(MorvEntryPoints &entryPoints, Lookup &&lookup)
{
    const char *missing = nullptr;
    auto bind = [&](const char *name, auto &slot) {
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(lookup(name));
        if (!slot && !missing)
            missing = name;
    };
    bind("OnLoad", entryPoints.OnLoad);
    bind("OnClose", entryPoints.OnClose);
    bind("Init", entryPoints.Init);
    bind("Close", entryPoints.Close);
    bind("Send", entryPoints.Send);
    bind("Check", entryPoints.Check);
    bind("Cancel", entryPoints.Cancel);
    bind("PrepareExit", entryPoints.PrepareExit);
    bind("OnSave", entryPoints.OnSave);
    bind("OnRestore", entryPoints.OnRestore);
    bind("CreateConfigDialog", entryPoints.CreateConfigDialog);
    bind("OnOk", entryPoints.OnOk);
    return missing;
}
