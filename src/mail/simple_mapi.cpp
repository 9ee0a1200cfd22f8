#include "mail/simple_mapi.h"

#include "platform/profile.h"

#include <deque>
#include <string>
#include <vector>

namespace {

// Writable copies of the texts a MapiMessage points to, alive as long as
// the store; the interface takes them as char *.
class MapiTexts {
public:
    char *Keep(const CString &text) { return m_texts.emplace_back(text.str()).data(); }

private:
    std::deque<std::string> m_texts;
};

template <typename Function>
void Bind(HMODULE library, const char *name, Function *&target)
{
    target = reinterpret_cast<Function *>(GetProcAddress(library, name));
}

void AddRecipients(const CStringArray &entries, std::uint32_t recipClass, MapiTexts &texts,
                   std::vector<MapiRecipDesc> &recipients)
{
    for (const CString &entry : entries) {
        MapiRecipDesc recipient{};
        recipient.ulRecipClass = recipClass;
        recipient.lpszName = texts.Keep(entry);
        recipients.push_back(recipient);
    }
}

std::vector<MapiFileDesc> FileDescriptors(const CMapiMail &mail, MapiTexts &texts)
{
    std::vector<MapiFileDesc> files;
    for (std::size_t i = 0; i < mail.m_attachPaths.size(); ++i) {
        MapiFileDesc file{};
        file.nPosition = 0xFFFFFFFF;
        file.lpszPathName = texts.Keep(mail.m_attachPaths[i]);
        // A short name list must not read past its end: such a file shows its path.
        const bool named = i < mail.m_attachNames.size();
        file.lpszFileName = named ? texts.Keep(mail.m_attachNames[i]) : file.lpszPathName;
        files.push_back(file);
    }
    return files;
}

}  // namespace

CSimpleMapi::CSimpleMapi() { Load(); }

CSimpleMapi::~CSimpleMapi()
{
    Logoff();
    Unload();
}

void CSimpleMapi::Load()
{
    if (IsLoaded() || GetProfileIntA("MAIL", "MAPI", 0) == 0)
        return;
    if (SearchPathA(nullptr, MAPI_LIBRARY_NAME, nullptr, 0, nullptr, nullptr) == 0)
        return;
    m_library = LoadLibraryA(MAPI_LIBRARY_NAME);
    if (m_library && !BindEntryPoints())
        Unload();
}

bool CSimpleMapi::BindEntryPoints()
{
    Bind(m_library, "MAPILogon", m_pfnLogon);
    Bind(m_library, "MAPILogoff", m_pfnLogoff);
    Bind(m_library, "MAPISendMail", m_pfnSendMail);
    Bind(m_library, "MAPIResolveName", m_pfnResolveName);
    Bind(m_library, "MAPIFreeBuffer", m_pfnFreeBuffer);
    return m_pfnLogon && m_pfnLogoff && m_pfnSendMail && m_pfnResolveName && m_pfnFreeBuffer;
}

BOOL CSimpleMapi::Unload()
{
    if (!m_library)
        return 0;
    const BOOL result = FreeLibrary(m_library);
    m_library = nullptr;
    m_pfnLogon = nullptr;
    m_pfnLogoff = nullptr;
    m_pfnSendMail = nullptr;
    m_pfnResolveName = nullptr;
    m_pfnFreeBuffer = nullptr;
    return result;
}

BOOL CSimpleMapi::Logon(const CString &profile, const CString &password, HWND parent)
{
    Logoff();
    if (!IsLoaded())
        return FALSE;
    MapiTexts texts;
    const bool named = !profile.IsEmpty();
    // Threads of this platform have no main window of their own to fall
    // back on: without a parent the provider's dialog has no owner.
    const ULONG_PTR window = named ? 0 : reinterpret_cast<ULONG_PTR>(parent);
    const std::uint32_t first = m_pfnLogon(window, named ? texts.Keep(profile) : nullptr,
                                           named ? texts.Keep(password) : nullptr,
                                           named ? MAPI_NEW_SESSION : MAPI_LOGON_UI | MAPI_NEW_SESSION, 0, &m_session);
    const std::uint32_t result = first == SUCCESS_SUCCESS || first == MAPI_USER_ABORT
        ? first
        : m_pfnLogon(window, nullptr, nullptr, 0, 0, &m_session);
    if (result == SUCCESS_SUCCESS) {
        m_lastError = 0;
        return TRUE;
    }
    // A provider may write a handle before it fails; logging off a session
    // that was never opened would be wrong.
    m_session = 0;
    if (first != MAPI_USER_ABORT)
        m_lastError = result;
    return FALSE;
}

BOOL CSimpleMapi::Logoff()
{
    if (!m_session)
        return FALSE;
    if (m_pfnLogoff)
        m_lastError = m_pfnLogoff(m_session, 0, 0, 0);
    m_session = 0;
    return TRUE;
}

BOOL CSimpleMapi::ResolveName(const CString &name, lpMapiRecipDesc *resolved)
{
    *resolved = nullptr;
    if (!IsLoaded())
        return FALSE;
    MapiTexts texts;
    const std::uint32_t result = m_pfnResolveName(m_session, 0, texts.Keep(name), 0, 0, resolved);
    if (result == SUCCESS_SUCCESS)
        return TRUE;
    m_lastError = result;
    *resolved = nullptr;
    return FALSE;
}

void CSimpleMapi::FreeBuffer(void *buffer)
{
    if (m_pfnFreeBuffer && buffer)
        m_pfnFreeBuffer(buffer);
}

void CSimpleMapi::ResolveEntries(CStringArray &entries)
{
    for (CString &entry : entries) {
        lpMapiRecipDesc resolved = nullptr;
        if (!ResolveName(entry, &resolved))
            continue;
        if (resolved && resolved->lpszName)
            entry = CString(resolved->lpszName);
        FreeBuffer(resolved);
    }
}

BOOL CSimpleMapi::SendMail(CMapiMail &mail)
{
    if (!IsLoaded())
        return FALSE;
    ResolveEntries(mail.m_to);
    ResolveEntries(mail.m_cc);
    ResolveEntries(mail.m_bcc);
    MapiTexts texts;
    std::vector<MapiRecipDesc> recipients;
    AddRecipients(mail.m_to, MAPI_TO, texts, recipients);
    AddRecipients(mail.m_cc, MAPI_CC, texts, recipients);
    AddRecipients(mail.m_bcc, MAPI_BCC, texts, recipients);
    std::vector<MapiFileDesc> files = FileDescriptors(mail, texts);
    MapiMessage message{};
    message.lpszSubject = texts.Keep(mail.m_subject);
    message.lpszNoteText = texts.Keep(mail.m_noteText);
    message.nRecipCount = static_cast<std::uint32_t>(recipients.size());
    message.lpRecips = recipients.empty() ? nullptr : recipients.data();
    message.nFileCount = static_cast<std::uint32_t>(files.size());
    message.lpFiles = files.empty() ? nullptr : files.data();
    m_lastError = m_pfnSendMail(m_session, 0, &message, 0, 0);
    return m_lastError == SUCCESS_SUCCESS;
}
