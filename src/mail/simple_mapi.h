// CSimpleMapi: the machine's Simple MAPI provider, loaded for one delivery.
// It finds and loads the provider library (when WIN.INI says Simple MAPI is
// installed), binds its five entry points, and logs on, resolves, sends and
// logs off. Lives on the sender's stack; one thread uses it.
#pragma once

#include "mail/mapi.h"
#include "mail/mapi_mail.h"
#include "platform/cstring.h"
#include "platform/library.h"
#include "platform/win_types.h"

// This platform's name for MAPI32.DLL.
inline constexpr const char *MAPI_LIBRARY_NAME = "libmapi32.so";

class CSimpleMapi {
public:
    // Loads the provider (Load).
    CSimpleMapi();
    // Logs off, then unloads.
    ~CSimpleMapi();
    CSimpleMapi(const CSimpleMapi &) = delete;
    CSimpleMapi &operator=(const CSimpleMapi &) = delete;

    // Loads the library and binds the entry points when WIN.INI's
    // [MAIL] MAPI is nonzero; stays unloaded on any failure. Records no
    // result code.
    void Load();
    // The result of FreeLibrary; 0 when nothing was loaded. Keeps the
    // session handle and the last result.
    BOOL Unload();
    BOOL IsLoaded() const { return m_library != nullptr; }

    // Opens a new session on the named profile without a dialog, or with an
    // empty name lets the provider ask (`parent` owns its dialog). A refusal
    // by the user keeps the last result; any other failure tries once to
    // attach to the mail client's shared session and keeps that result.
    BOOL Logon(const CString &profile, const CString &password, HWND parent);
    // TRUE when a session was open, whatever the provider answered.
    BOOL Logoff();
    // The provider's recipient for `name`, without a dialog. On TRUE the
    // caller frees *resolved with FreeBuffer; on FALSE *resolved is null.
    BOOL ResolveName(const CString &name, lpMapiRecipDesc *resolved);
    void FreeBuffer(void *buffer);
    // Sends `mail` without a dialog; TRUE when the provider took it.
    BOOL SendMail(CMapiMail &mail);
    DWORD GetLastResult() const { return m_lastError; }

private:
    bool BindEntryPoints();
    void ResolveEntries(CStringArray &entries);

    LHANDLE m_session = 0;
    DWORD m_lastError = 0;
    HMODULE m_library = nullptr;
    LPMAPILOGON m_pfnLogon = nullptr;
    LPMAPILOGOFF m_pfnLogoff = nullptr;
    LPMAPISENDMAIL m_pfnSendMail = nullptr;
    LPMAPIRESOLVENAME m_pfnResolveName = nullptr;
    LPMAPIFREEBUFFER m_pfnFreeBuffer = nullptr;
};
