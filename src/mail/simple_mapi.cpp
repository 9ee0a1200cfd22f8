#include "mail/simple_mapi.h"

#include "platform/profile.h"

#include <deque>
#include <memory>
#include <optional>
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
    target = ProcedureAs<Function *>(GetProcAddress(library, name));
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

// A mail as the provider takes it, with every text and descriptor it points
// to, owned by the call that hands it over.
struct ProviderMessage {
    MapiTexts texts;
    std::vector<MapiRecipDesc> recipients;
    std::vector<MapiFileDesc> files;
    MapiMessage message{};
};

std::shared_ptr<ProviderMessage> MessageFor(const CMapiMail &mail)
{
    auto built = std::make_shared<ProviderMessage>();
    AddRecipients(mail.m_to, MAPI_TO, built->texts, built->recipients);
    AddRecipients(mail.m_cc, MAPI_CC, built->texts, built->recipients);
    AddRecipients(mail.m_bcc, MAPI_BCC, built->texts, built->recipients);
    built->files = FileDescriptors(mail, built->texts);
    MapiMessage &message = built->message;
    message.lpszSubject = built->texts.Keep(mail.m_subject);
    message.lpszNoteText = built->texts.Keep(mail.m_noteText);
    message.nRecipCount = static_cast<std::uint32_t>(built->recipients.size());
    message.lpRecips = built->recipients.empty() ? nullptr : built->recipients.data();
    message.nFileCount = static_cast<std::uint32_t>(built->files.size());
    message.lpFiles = built->files.empty() ? nullptr : built->files.data();
    return built;
}

std::optional<std::string> CopyOf(const char *text) { return text ? std::optional<std::string>(text) : std::nullopt; }

char *Chars(std::optional<std::string> &text) { return text ? text->data() : nullptr; }

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
    m_library = LoadProviderLibrary(MAPI_LIBRARY_NAME);
    if (m_library && !BindEntryPoints())
        Unload();
}

bool CSimpleMapi::BindEntryPoints()
{
    HMODULE library = m_library.get();
    Bind(library, "MAPILogon", m_pfnLogon);
    Bind(library, "MAPILogoff", m_pfnLogoff);
    Bind(library, "MAPISendMail", m_pfnSendMail);
    Bind(library, "MAPIResolveName", m_pfnResolveName);
    Bind(library, "MAPIFreeBuffer", m_pfnFreeBuffer);
    return m_pfnLogon && m_pfnLogoff && m_pfnSendMail && m_pfnResolveName && m_pfnFreeBuffer;
}

BOOL CSimpleMapi::Unload()
{
    if (!m_library)
        return 0;
    // A call given up on holds the library as well; the last holder unloads it.
    m_library.reset();
    m_pfnLogon = nullptr;
    m_pfnLogoff = nullptr;
    m_pfnSendMail = nullptr;
    m_pfnResolveName = nullptr;
    m_pfnFreeBuffer = nullptr;
    return TRUE;
}

std::uint32_t CSimpleMapi::Call(std::function<std::uint32_t()> call, AfterAbort afterAbort)
{
    return RunProviderCall(m_library, std::move(call), m_abort, afterAbort);
}

std::uint32_t CSimpleMapi::LogonCall(ULONG_PTR window, const char *profile, const char *password, FLAGS flags)
{
    auto session = std::make_shared<LHANDLE>(0);
    auto call = [logon = m_pfnLogon, window, profileText = CopyOf(profile), passwordText = CopyOf(password), flags,
                 session]() mutable {
        return logon(window, Chars(profileText), Chars(passwordText), flags, 0, session.get());
    };
    const std::uint32_t result = Call(std::move(call));
    // A provider may write a handle before it fails; logging off a session
    // that was never opened would be wrong.
    if (result == SUCCESS_SUCCESS)
        m_session = *session;
    return result;
}

BOOL CSimpleMapi::Logon(const CString &profile, const CString &password, HWND parent)
{
    Logoff();
    if (!IsLoaded())
        return FALSE;
    const bool named = !profile.IsEmpty();
    // Threads of this platform have no main window of their own to fall
    // back on: without a parent the provider's dialog has no owner.
    const ULONG_PTR window = named ? 0 : reinterpret_cast<ULONG_PTR>(parent);
    const std::uint32_t first = LogonCall(window, named ? profile.GetString() : nullptr,
                                          named ? password.GetString() : nullptr,
                                          named ? MAPI_NEW_SESSION : MAPI_LOGON_UI | MAPI_NEW_SESSION);
    const std::uint32_t result = first == SUCCESS_SUCCESS || first == MAPI_USER_ABORT
        ? first
        : LogonCall(window, nullptr, nullptr, 0);
    if (result == SUCCESS_SUCCESS) {
        m_lastError = 0;
        return TRUE;
    }
    if (first != MAPI_USER_ABORT)
        m_lastError = result;
    return FALSE;
}

BOOL CSimpleMapi::Logoff()
{
    if (!m_session)
        return FALSE;
    if (m_pfnLogoff)
        m_lastError = Call([logoff = m_pfnLogoff, session = m_session] { return logoff(session, 0, 0, 0); },
                           AfterAbort::Start);
    m_session = 0;
    return TRUE;
}

BOOL CSimpleMapi::ResolveName(const CString &name, lpMapiRecipDesc *resolved)
{
    *resolved = nullptr;
    if (!IsLoaded())
        return FALSE;
    auto recipient = std::make_shared<lpMapiRecipDesc>(nullptr);
    const std::uint32_t result =
        Call([resolve = m_pfnResolveName, session = m_session, text = name.str(), recipient]() mutable {
            return resolve(session, 0, text.data(), 0, 0, recipient.get());
        });
    if (result == SUCCESS_SUCCESS) {
        *resolved = *recipient;
        return TRUE;
    }
    m_lastError = result;
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
    const auto message = MessageFor(mail);
    m_lastError = Call([send = m_pfnSendMail, session = m_session, message] {
        return send(session, 0, &message->message, 0, 0);
    });
    return m_lastError == SUCCESS_SUCCESS;
}
