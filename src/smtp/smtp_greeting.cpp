// CSmtpSession: the greeting (HELO, or EHLO with STARTTLS and the login).
#include "smtp/smtp_session.h"

#include "compose/domain_name.h"
#include "platform/last_error.h"
#include "smtp/helo_name.h"
#include "smtp/sasl_encoding.h"

// The connection's address is asked for only when the host name will not
// do: a provider's server wants a fully qualified name (RFC 5321 4.1.4).
CString CSmtpSession::ClientName() const
{
    const CString hostName = CClientSocket::GetLocalHostName();
    const bool fits = OnProviderRoute() ? IsFullyQualifiedDomain(hostName.view()) : IsHeloDomain(hostName.view());
    return fits ? hostName : m_connection.GetLocalAddressLiteral();
}

BOOL CSmtpSession::SayHelo()
{
    if (!Transmit(CString::Formatted("HELO %s\r\n", ClientName().GetString())))
        return AbandonConnect("An unexpected error occurred while sending the HELO command\n");
    if (!ExpectReply(250))
        return AbandonConnect("An unexpected HELO response was received\n");
    return TRUE;
}

// EHLO, then STARTTLS and EHLO again when asked for, then the login.
BOOL CSmtpSession::Introduce(const char *host)
{
    if (!SayEhlo())
        return FALSE;
    if (m_security == SmtpSecurity::StartTls && !(UpgradeToTls(host) && SayEhlo()))
        return FALSE;
    return m_user.IsEmpty() || Authenticate();
}

// What went wrong is what the failed send or read said, or the refusal.
BOOL CSmtpSession::SayEhlo()
{
    std::string reply;
    if (!Transmit(CString::Formatted("EHLO %s\r\n", ClientName().GetString())) ||
        !AwaitReply("EHLO", 250, CommandBounds(), &reply))
        return AbandonConnect(
            m_refused ? CString::Formatted(SMTP_EHLO_REFUSED_TEXT, m_lastReply.GetString()) : CString());
    m_offers = ParseEhloReply(reply);
    return TRUE;
}

// Without STARTTLS the conversation ends here: nothing more goes in the
// clear, not even QUIT. Bytes that came after the 220 would be read as
// if the server had sent them under TLS, so they end it too.
BOOL CSmtpSession::UpgradeToTls(const char *host)
{
    if (!m_offers.startTls)
        return DropConnection(CString::Formatted(SMTP_NO_STARTTLS_TEXT, host));
    if (!Command("STARTTLS", "STARTTLS\r\n", 220))
        return DropConnection(
            m_refused ? CString::Formatted(SMTP_STARTTLS_REFUSED_TEXT, m_lastReply.GetString()) : CString());
    if (m_reader.HasPending())
        return DropConnection(CString::Formatted(SMTP_DATA_BEFORE_TLS_TEXT, host));
    return StartTls(host);
}

BOOL CSmtpSession::StartTls(const char *host)
{
    CString failure;
    if (!m_connection.StartTls({CString(host), m_caFile}, CommandBounds(), failure)) {
        m_trace.Note(failure.view());
        return DropConnection(UnlessAborted(failure));
    }
    m_trace.Note(("TLS handshake done: " + m_connection.TlsSummary()).view());
    return TRUE;
}

BOOL CSmtpSession::Authenticate()
{
    if (!m_connection.IsSecure())
        return AbandonConnect(SMTP_LOGIN_WITHOUT_TLS_TEXT);
    const AuthMechanism mechanism = ChooseAuthMechanism(m_offers);
    if (mechanism == AuthMechanism::None)
        return AbandonConnect(SMTP_NO_AUTH_METHOD_TEXT);
    if (!LogIn(mechanism))
        return AbandonConnect(
            m_refused ? CString::Formatted(SMTP_LOGIN_REFUSED_TEXT, m_lastReply.GetString()) : CString());
    return TRUE;
}

// The trace shows the mechanism, never what identifies or proves.
BOOL CSmtpSession::LogIn(AuthMechanism mechanism)
{
    constexpr std::string_view AUTH = "AUTH";
    constexpr std::string_view HIDDEN = "***";
    if (mechanism == AuthMechanism::Plain) {
        const std::string credentials = PlainCredentials(m_user.view(), m_password.view());
        return Command(AUTH, CString::Formatted("AUTH PLAIN %s\r\n", credentials.c_str()), 235, "AUTH PLAIN ***");
    }
    return Command(AUTH, "AUTH LOGIN\r\n", 334) &&
           Command(AUTH, CString((Base64(m_user.view()) + "\r\n").c_str()), 334, HIDDEN) &&
           Command(AUTH, CString((Base64(m_password.view()) + "\r\n").c_str()), 235, HIDDEN);
}
