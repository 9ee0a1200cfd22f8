#include "smtp/smtp_session.h"

#include "platform/last_error.h"

CSmtpSession::~CSmtpSession()
{
    try {
        if (m_connected)
            Disconnect();
    } catch (...) {
    }
    m_connection.Close();
}

void CSmtpSession::SetSecurity(SmtpSecurity security, const CString &caFile)
{
    m_security = security;
    m_caFile = caFile;
}

void CSmtpSession::SetLogin(const CString &user, const CString &password)
{
    m_user = user;
    m_password = password;
}

ReplyBounds CSmtpSession::CommandBounds() const
{
    return {OnProviderRoute() ? m_replyLimit : m_replyTimeout, m_replyLimit};
}

BOOL CSmtpSession::Connect(const char *host, int port)
{
    host = host ? host : "";
    if (!OpenConnection(host, port))
        return FALSE;
    if (!AwaitReply("the greeting", 220, CommandBounds()))
        return AbandonConnect(GreetingFailure());
    return OnProviderRoute() ? Introduce(host) : SayHelo();
}

// On the route to a provider, a greeting that never came is often a
// server that waits for TLS first.
CString CSmtpSession::GreetingFailure() const
{
    if (!OnProviderRoute())
        return "An unexpected SMTP login response was received\n";
    if (m_refused)
        return CString::Formatted(SMTP_GREETING_REFUSED_TEXT, m_server.GetString(), m_lastReply.GetString());
    if (GetLastError() != WSAETIMEDOUT)
        return CString();
    const int seconds = WholeSeconds(m_replyLimit);
    if (m_security == SmtpSecurity::StartTls)
        return CString::Formatted(SMTP_NO_GREETING_STARTTLS_TEXT, m_server.GetString(), seconds);
    return CString::Formatted(SMTP_NO_GREETING_TEXT, m_server.GetString(), seconds);
}

BOOL CSmtpSession::OpenConnection(const char *host, int port)
{
    if (!m_connection.Create()) {
        Explain(CString::Formatted("Failed to create client socket, GetLastError returns: %d\n",
                                   static_cast<int>(GetLastError())),
                Explanation::StepWords);
        return FALSE;
    }
    if (!m_connection.Connect(host, static_cast<unsigned short>(port))) {
        Explain(CString::Formatted("Could not connect to the SMTP server %s on port %d, GetLastError returns: %d\n",
                                   host, port, static_cast<int>(GetLastError())),
                Explanation::StepWords);
        return FALSE;
    }
    m_connected = TRUE;
    const bool ipv6 = std::string_view(host).find(':') != std::string_view::npos;
    m_server = CString::Formatted(ipv6 ? "[%s]:%d" : "%s:%d", host, port);
    m_trace.Note(CString::Formatted("connected to %s port %d", host, port).view());
    return m_security != SmtpSecurity::Tls || StartTls(host);
}

CString CSmtpSession::UnlessAborted(const CString &text) const
{
    return GetLastError() == WSAEINTR ? CString(SMTP_ABORTED_TEXT) : text;
}

void CSmtpSession::Explain(const CString &text, Explanation explanation)
{
    if (m_errorText.IsEmpty() || (explanation == Explanation::StepWords && !text.IsEmpty()))
        m_errorText = text;
}

BOOL CSmtpSession::AbandonConnect(const CString &text)
{
    Explain(text, Explanation::StepWords);
    Disconnect();
    return FALSE;
}

// Ends a connection on which nothing more may be said.
BOOL CSmtpSession::DropConnection(const CString &text)
{
    Explain(text, Explanation::StepWords);
    m_connected = FALSE;
    Disconnect();
    return FALSE;
}

bool CSmtpSession::MayQuit() const
{
    if (m_outOfStep || m_quitSent)
        return false;
    return m_security != SmtpSecurity::StartTls || m_connection.IsSecure();
}

// The system's close may change the last error (Winsock does), so a
// failure's code is set again after it.
BOOL CSmtpSession::Disconnect()
{
    BOOL result = m_connected && m_quitSent;
    DWORD error = GetLastError();
    if (m_connected && MayQuit()) {
        Transmit(QUIT_LINE);
        result = AwaitReply("QUIT", 221, CommandBounds());
        error = GetLastError() == WSAEINTR ? WSAEINTR : ERROR_BAD_COMMAND;
    }
    m_connected = FALSE;
    m_connection.Close();
    m_reader.Forget();
    if (!result)
        SetLastError(error);
    return result;
}

CString CSmtpSession::GetErrorText() const { return m_errorText; }

BOOL CSmtpSession::Transmit(const CString &text, std::string_view shown)
{
    m_trace.Sent(shown);
    const std::string_view piece = text.view();
    return Transmit(std::span(&piece, 1));
}

BOOL CSmtpSession::Transmit(std::span<const std::string_view> pieces)
{
    if (m_connection.Send(pieces))
        return TRUE;
    const DWORD error = GetLastError();
    if (error == WSAEINTR)
        return Fail(SMTP_ABORTED_TEXT, error);
    return Fail(CString::Formatted(SMTP_CONNECTION_LOST_TEXT, static_cast<int>(error)), error);
}

BOOL CSmtpSession::Fail(const CString &text, DWORD code)
{
    Explain(text, Explanation::FirstFailure);
    SetLastError(code);
    return FALSE;
}

BOOL CSmtpSession::FailWithReply(const CString &reply, const CString &text, DWORD code)
{
    m_lastReply = reply;
    return Fail(text, code);
}
