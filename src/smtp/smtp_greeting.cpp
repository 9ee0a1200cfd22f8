// CSmtpSession: the greeting (HELO, or EHLO with STARTTLS and the login).
#include "smtp/smtp_session.h"

#include "platform/last_error.h"
#include "smtp/helo_name.h"
#include "smtp/sasl_encoding.h"

// The connection's address is asked for only when the host name will not do.
CString CSmtpSession::ClientName() const
{
    const CString hostName = CClientSocket::GetLocalHostName();
    return IsHeloDomain(hostName.view()) ? hostName : m_connection.GetLocalAddressLiteral();
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
    EhloOffers offers;
    if (!SayEhlo(offers))
        return FALSE;
    if (m_security == SmtpSecurity::StartTls && !(UpgradeToTls(host, offers) && SayEhlo(offers)))
        return FALSE;
    return m_user.IsEmpty() || Authenticate(offers);
}

BOOL CSmtpSession::SayEhlo(EhloOffers &offers)
{
    if (!Transmit(CString::Formatted("EHLO %s\r\n", ClientName().GetString())))
        return AbandonConnect("An unexpected error occurred while sending the EHLO command\n");
    std::string reply;
    if (!ExpectReplyText(250, reply))
        return AbandonConnect("An unexpected EHLO response was received\n");
    offers = ParseEhloReply(reply);
    return TRUE;
}

// Without STARTTLS the conversation ends here: nothing more goes in the
// clear, not even QUIT. Bytes that came after the 220 would be read as
// if the server had sent them under TLS, so they end it too.
// A refusal is the session's first failure, so m_errorText holds what it
// said (as it does for a refused login).
BOOL CSmtpSession::UpgradeToTls(const char *host, const EhloOffers &offers)
{
    if (!offers.startTls)
        return DropConnection(CString::Formatted(SMTP_NO_STARTTLS_TEXT, host));
    if (!Command("STARTTLS\r\n", 220))
        return DropConnection(
            UnlessAborted(CString::Formatted(SMTP_STARTTLS_REFUSED_TEXT, m_errorText.GetString())));
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

BOOL CSmtpSession::Authenticate(const EhloOffers &offers)
{
    if (!m_connection.IsSecure())
        return AbandonConnect(SMTP_LOGIN_WITHOUT_TLS_TEXT);
    const AuthMechanism mechanism = ChooseAuthMechanism(offers);
    if (mechanism == AuthMechanism::None)
        return AbandonConnect(SMTP_NO_AUTH_METHOD_TEXT);
    if (!LogIn(mechanism))
        return AbandonConnect(UnlessAborted(CString::Formatted(SMTP_LOGIN_REFUSED_TEXT, m_errorText.GetString())));
    return TRUE;
}

// The trace shows the mechanism, never what identifies or proves.
BOOL CSmtpSession::LogIn(AuthMechanism mechanism)
{
    constexpr std::string_view HIDDEN = "***";
    if (mechanism == AuthMechanism::Plain) {
        const std::string credentials = PlainCredentials(m_user.view(), m_password.view());
        return Command(CString::Formatted("AUTH PLAIN %s\r\n", credentials.c_str()), 235, "AUTH PLAIN ***");
    }
    return Command("AUTH LOGIN\r\n", 334) &&
           Command(CString((Base64(m_user.view()) + "\r\n").c_str()), 334, HIDDEN) &&
           Command(CString((Base64(m_password.view()) + "\r\n").c_str()), 235, HIDDEN);
}
