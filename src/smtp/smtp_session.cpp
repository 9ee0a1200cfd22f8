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

BOOL CSmtpSession::Connect(const char *host, int port)
{
    host = host ? host : "";
    if (!OpenConnection(host, port))
        return FALSE;
    if (!ExpectReply(220))
        return AbandonConnect("An unexpected SMTP login response was received\n");
    return Extended() ? Introduce(host) : SayHelo();
}

BOOL CSmtpSession::OpenConnection(const char *host, int port)
{
    if (!m_connection.Create()) {
        Explain(CString::Formatted("Failed to create client socket, GetLastError returns: %d\n",
                                   static_cast<int>(GetLastError())),
                Explanation::ConnectStep);
        return FALSE;
    }
    if (!m_connection.Connect(host, static_cast<unsigned short>(port))) {
        Explain(CString::Formatted("Could not connect to the SMTP server %s on port %d, GetLastError returns: %d\n",
                                   host, port, static_cast<int>(GetLastError())),
                Explanation::ConnectStep);
        return FALSE;
    }
    m_connected = TRUE;
    m_trace.Note(CString::Formatted("connected to %s port %d", host, port).view());
    return m_security != SmtpSecurity::Tls || StartTls(host);
}

CString CSmtpSession::UnlessAborted(const CString &text) const
{
    return GetLastError() == WSAEINTR ? CString(SMTP_ABORTED_TEXT) : text;
}

void CSmtpSession::Explain(const CString &text, Explanation explanation)
{
    if (m_errorText.IsEmpty() || (explanation == Explanation::ConnectStep && !text.IsEmpty()))
        m_errorText = text;
}

BOOL CSmtpSession::AbandonConnect(const CString &text)
{
    Explain(text, Explanation::ConnectStep);
    Disconnect();
    return FALSE;
}

// Ends a connection on which nothing more may be said.
BOOL CSmtpSession::DropConnection(const CString &text)
{
    Explain(text, Explanation::ConnectStep);
    m_connected = FALSE;
    Disconnect();
    return FALSE;
}

BOOL CSmtpSession::Disconnect()
{
    BOOL result = FALSE;
    if (m_connected && MayQuit()) {
        Transmit("QUIT\r\n");
        result = ExpectReply(221);
        if (!result && GetLastError() != WSAEINTR)
            SetLastError(ERROR_BAD_COMMAND);
    }
    m_connected = FALSE;
    m_connection.Close();
    m_reader.Forget();
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
