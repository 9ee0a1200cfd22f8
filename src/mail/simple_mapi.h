// CSimpleMapi: the machine's Simple MAPI provider, loaded for one delivery.
// It finds and loads the provider library (when WIN.INI says Simple MAPI is
// installed), binds its five entry points, and logs on, resolves, sends and
// logs off. Lives on the sender's stack; one thread uses it. Each call into
// the provider runs on a thread of its own and obeys the abort event
// (provider_call.h).
#pragma once

#include "mail/mapi.h"
#include "mail/mapi_mail.h"
#include "mail/provider_call.h"
#include "platform/cstring.h"
#include "platform/library.h"
#include "platform/win_types.h"

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
    // TRUE when a library was loaded: it is unloaded now, or when the last
    // call given up on returns. Keeps the session handle and the last result.
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

    // The stop request that every call into the provider watches; may be
    // null. Once it is set, a call that has not returned is given up and
    // counts as MAPI_E_USER_ABORT, later calls are not made, and Logoff
    // still tells the provider without waiting for it.
    void SetAbortEvent(const CEvent *abort) { m_abort = abort; }

private:
    bool BindEntryPoints();
    void ResolveEntries(CStringArray &entries);
    std::uint32_t LogonCall(ULONG_PTR window, const char *profile, const char *password, FLAGS flags);
    std::uint32_t Call(std::function<std::uint32_t()> call, AfterAbort afterAbort = AfterAbort::Skip);

    LHANDLE m_session = 0;
    DWORD m_lastError = 0;
    ProviderLibrary m_library;
    const CEvent *m_abort = nullptr;
    LPMAPILOGON m_pfnLogon = nullptr;
    LPMAPILOGOFF m_pfnLogoff = nullptr;
    LPMAPISENDMAIL m_pfnSendMail = nullptr;
    LPMAPIRESOLVENAME m_pfnResolveName = nullptr;
    LPMAPIFREEBUFFER m_pfnFreeBuffer = nullptr;
};
