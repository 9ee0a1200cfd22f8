// The provider's Simple MAPI entry points. Names resolve to themselves;
// each mail goes to the sendmail program. Any thread may call them; no
// exception leaves them.
#include "mail/mapi.h"
#include "mail_text.h"
#include "provider_settings.h"
#include "resolved_recipient.h"
#include "sendmail_program.h"
#include "session_table.h"

#include <ctime>
#include <new>
#include <string_view>

namespace {

CSessionTable g_sessions;

template <typename Body>
std::uint32_t Guarded(Body body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc &) {
        return MAPI_E_INSUFFICIENT_MEMORY;
    } catch (...) {
        return MAPI_E_FAILURE;
    }
}

bool IsUsableName(const char *name)
{
    return name && *name && std::string_view(name).find_first_of("\r\n") == std::string_view::npos;
}

// Ties one sendmail run to its session, so that MAPILogoff of the session
// ends it: a caller that gives a mail up leaves no program behind.
class SessionWatch final : public CProgramWatch {
public:
    explicit SessionWatch(LHANDLE session) : m_session(session) {}

    bool Started(int group) override { return g_sessions.AddProgram(m_session, group); }
    void Ending(int group) override { m_killed = !g_sessions.RemoveProgram(m_session, group); }
    bool Killed() const { return m_killed; }

private:
    LHANDLE m_session;
    bool m_killed = false;
};

std::uint32_t Deliver(LHANDLE session, const MapiMessage &message)
{
    const MailTextOptions options{MailCharset(), std::time(nullptr)};
    std::string text;
    if (const std::uint32_t result = ComposeMailText(message, options, text); result != SUCCESS_SUCCESS)
        return result;
    SessionWatch watch(session);
    const int status = RunWithInput(SendmailProgram(), {"-t", "-i"}, text, &watch);
    return watch.Killed() ? MAPI_E_USER_ABORT : ResultOfExit(status);
}

}  // namespace

extern "C" {

std::uint32_t MAPILogon(ULONG_PTR, char *, char *, FLAGS, std::uint32_t, LPLHANDLE lplhSession)
{
    return Guarded([&] {
        if (!lplhSession)
            return MAPI_E_FAILURE;
        *lplhSession = g_sessions.Open();
        return SUCCESS_SUCCESS;
    });
}

std::uint32_t MAPILogoff(LHANDLE lhSession, ULONG_PTR, FLAGS, std::uint32_t)
{
    return Guarded([&] { return g_sessions.Close(lhSession) ? SUCCESS_SUCCESS : MAPI_E_INVALID_SESSION; });
}

std::uint32_t MAPIResolveName(LHANDLE lhSession, ULONG_PTR, char *lpszName, FLAGS, std::uint32_t,
                              lpMapiRecipDesc *lppRecip)
{
    return Guarded([&] {
        if (!lppRecip)
            return MAPI_E_FAILURE;
        *lppRecip = nullptr;
        if (!g_sessions.IsUsable(lhSession))
            return MAPI_E_INVALID_SESSION;
        if (!IsUsableName(lpszName))
            return MAPI_E_UNKNOWN_RECIPIENT;
        *lppRecip = NewResolvedRecipient(lpszName);
        return *lppRecip ? SUCCESS_SUCCESS : MAPI_E_INSUFFICIENT_MEMORY;
    });
}

std::uint32_t MAPISendMail(LHANDLE lhSession, ULONG_PTR, lpMapiMessage lpMessage, FLAGS flFlags, std::uint32_t)
{
    return Guarded([&] {
        if (!g_sessions.IsUsable(lhSession))
            return MAPI_E_INVALID_SESSION;
        if (!lpMessage)
            return MAPI_E_INVALID_MESSAGE;
        // There is no compose window to show the mail in first.
        if (flFlags & MAPI_DIALOG)
            return MAPI_E_NOT_SUPPORTED;
        return Deliver(lhSession, *lpMessage);
    });
}

std::uint32_t MAPIFreeBuffer(void *pv)
{
    FreeProviderBuffer(pv);
    return SUCCESS_SUCCESS;
}

}  // extern "C"
