#include "smtp/smtp_session.h"

#include "platform/last_error.h"
#include "smtp/helo_name.h"
#include "smtp/reply_buffer.h"
#include "smtp/reply_framing.h"
#include "smtp/sasl_encoding.h"
#include "smtp/send_pieces.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr std::string_view END_OF_DATA = "\r\n.\r\n";

int WholeSeconds(DWORD milliseconds) { return static_cast<int>((std::uint64_t{milliseconds} + 999) / 1000); }

}  // namespace

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
        m_errorText.Format("Failed to create client socket, GetLastError returns: %d\n",
                           static_cast<int>(GetLastError()));
        return FALSE;
    }
    if (!m_connection.Connect(host, static_cast<unsigned short>(port))) {
        m_errorText.Format("Could not connect to the SMTP server %s on port %d, GetLastError returns: %d\n", host,
                           port, static_cast<int>(GetLastError()));
        return FALSE;
    }
    m_connected = TRUE;
    m_trace.Note(CString::Formatted("connected to %s port %d", host, port).view());
    return m_security != SmtpSecurity::Tls || StartTls(host);
}

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
BOOL CSmtpSession::UpgradeToTls(const char *host, const EhloOffers &offers)
{
    if (!offers.startTls)
        return DropConnection(CString::Formatted(SMTP_NO_STARTTLS_TEXT, host));
    if (!Command("STARTTLS\r\n", 220))
        return DropConnection(
            Explained(CString::Formatted(SMTP_STARTTLS_REFUSED_TEXT, m_failureText.GetString())));
    if (!m_pending.empty())
        return DropConnection(CString::Formatted(SMTP_DATA_BEFORE_TLS_TEXT, host));
    return StartTls(host);
}

BOOL CSmtpSession::StartTls(const char *host)
{
    CString failure;
    if (!m_connection.StartTls({CString(host), m_caFile}, CommandBounds(), failure)) {
        m_trace.Note(failure.view());
        return DropConnection(Explained(failure));
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
        return AbandonConnect(Explained(CString::Formatted(SMTP_LOGIN_REFUSED_TEXT, m_failureText.GetString())));
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

CString CSmtpSession::Explained(const CString &text) const
{
    return GetLastError() == WSAEINTR ? CString(SMTP_ABORTED_TEXT) : text;
}

BOOL CSmtpSession::AbandonConnect(const CString &text)
{
    m_errorText = text;
    Disconnect();
    return FALSE;
}

// Ends a connection on which nothing more may be said.
BOOL CSmtpSession::DropConnection(const CString &text)
{
    m_errorText = text;
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
    m_pending.clear();
    return result;
}

CString CSmtpSession::GetErrorText() const { return m_errorText.IsEmpty() ? m_failureText : m_errorText; }

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

// The first failure explains the session's outcome; a QUIT that fails
// after a refused command does not replace the refusal.
BOOL CSmtpSession::Fail(const CString &text, DWORD code)
{
    if (!m_failed)
        m_failureText = text;
    m_failed = true;
    SetLastError(code);
    return FALSE;
}

BOOL CSmtpSession::FailWithReply(const CString &reply, const CString &text, DWORD code)
{
    m_lastReply = reply;
    return Fail(text, code);
}

BOOL CSmtpSession::ExpectReply(int expected) { return ExpectReplyWithin(expected, CommandBounds()); }

BOOL CSmtpSession::ExpectReplyText(int expected, std::string &text)
{
    m_replyText = &text;
    const BOOL result = ExpectReply(expected);
    m_replyText = nullptr;
    return result;
}

BOOL CSmtpSession::ExpectReplyWithin(int expected, ReplyBounds bounds)
{
    char buffer[REPLY_BUFFER_SIZE];
    std::unique_ptr<char[]> grown;
    return ReadReply(buffer, REPLY_BUFFER_SIZE, "\r\n", expected, grown, REPLY_GROWTH_STEP, bounds);
}

BOOL CSmtpSession::ReadReply(char *buffer, int capacity, const char *terminator, int expected,
                             std::unique_ptr<char[]> &grown, int step, ReplyBounds bounds)
{
    CReplyBuffer reply(buffer, capacity, grown, step);
    reply.Append(m_pending);
    m_pending.clear();
    ReplyScan scan;
    CReplyDeadline deadline(bounds);
    for (;;) {
        const std::size_t end = FindReplyEnd(reply.View(), terminator, scan);
        if (end != 0) {
            m_pending.assign(reply.View().substr(end));
            return FinishReply(reply.View().substr(0, end), terminator, expected);
        }
        if (reply.View().size() > MAX_REPLY_LENGTH)
            return Fail(SMTP_REPLY_TOO_LONG_TEXT, WSAEMSGSIZE);
        if (const auto failure = ReceiveMore(reply, deadline))
            return FailRead(*failure, reply.View(), deadline);
    }
}

// A read that ends with nothing received still says why, so that the
// delivery's failure report is never blank; what the server did send is
// its reply.
BOOL CSmtpSession::FailRead(DWORD error, std::string_view partial, const CReplyDeadline &deadline)
{
    m_trace.Received(partial);
    if (error == WSAEINTR)
        return Fail(SMTP_ABORTED_TEXT, error);
    if (!partial.empty())
        return FailWithReply(CString(partial), CString(partial), error);
    if (error == WSAETIMEDOUT)
        return FailWithReply(CString(), CString::Formatted(SMTP_NO_REPLY_TEXT, WholeSeconds(deadline.ExpiredBound())),
                             error);
    return Fail(CString::Formatted(SMTP_CONNECTION_LOST_TEXT, static_cast<int>(error)), error);
}

// Takes what the server has sent, or else waits at most one poll interval
// for it: a reply is usually there by the time it is looked for, so it
// costs no wait. Nothing on success (or while the bounds allow more
// waiting); otherwise the last error that ends the read.
std::optional<DWORD> CSmtpSession::ReceiveMore(CReplyBuffer &reply, CReplyDeadline &deadline)
{
    const int received = m_connection.Receive(reply.End(), reply.Room());
    if (received == CClientSocket::RECEIVE_NOTHING)
        return AwaitData(deadline);
    if (received == 0)
        return WSAECONNRESET;
    if (received < 0)
        return GetLastError();
    deadline.DataArrived();
    reply.Commit(received);
    return std::nullopt;
}

std::optional<DWORD> CSmtpSession::AwaitData(const CReplyDeadline &deadline)
{
    const DWORD left = deadline.Left();
    if (left == 0)
        return WSAETIMEDOUT;
    switch (m_connection.WaitReadable(std::min(REPLY_POLL_INTERVAL, left))) {
    case SocketWait::Signalled: return WSAEINTR;
    case SocketWait::Failed: return GetLastError();
    case SocketWait::TimedOut:
    case SocketWait::Readable: break;
    }
    return std::nullopt;
}

BOOL CSmtpSession::FinishReply(std::string_view reply, const char *terminator, int expected)
{
    m_trace.Received(reply);
    if (m_replyText)
        m_replyText->assign(reply);
    m_replyCode = CommonReplyCode(reply, terminator);
    if (m_replyCode == expected)
        return TRUE;
    const std::size_t cut = std::min(reply.size(), std::strlen(terminator));
    const CString text(reply.substr(0, reply.size() - cut));
    if (m_replyCode == 0)
        return FailWithReply(text, SMTP_MALFORMED_REPLY_TEXT + text, WSAEPROTONOSUPPORT);
    return FailWithReply(text, text, WSAEPROTONOSUPPORT);
}

BOOL CSmtpSession::Command(const CString &command, int expected, std::string_view shown)
{
    return Command(command, expected, CommandBounds(), shown);
}

// `shown` stands for the command in the trace; empty: the command itself.
BOOL CSmtpSession::Command(const CString &command, int expected, ReplyBounds bounds, std::string_view shown)
{
    return Transmit(command, shown.empty() ? command.view() : shown) && Answered(expected, bounds);
}

// A reply with another code, or none in time, gives ERROR_BAD_COMMAND.
BOOL CSmtpSession::Answered(int expected, ReplyBounds bounds)
{
    if (ExpectReplyWithin(expected, bounds))
        return TRUE;
    if (GetLastError() != WSAEINTR)
        SetLastError(ERROR_BAD_COMMAND);
    return FALSE;
}

// An address with a line break would let its text end the command early and
// smuggle in commands of its own, and a blank or bracket would end the
// address early; nothing is sent for it.
BOOL CSmtpSession::CheckAddress(const CString &address)
{
    if (const char *problem = EnvelopeAddressProblem(address.view()))
        return Fail(problem, ERROR_INVALID_DATA);
    return TRUE;
}

BOOL CSmtpSession::CheckEnvelope(const CMailMessage &message)
{
    if (const char *problem = EnvelopeProblem(message))
        return Fail(problem, ERROR_INVALID_DATA);
    return TRUE;
}

BOOL CSmtpSession::AddRecipient(const CMailAddress &address)
{
    return CheckAddress(address.m_address) &&
           Command(CString::Formatted("RCPT TO:<%s>\r\n", address.m_address.GetString()), 250);
}

BOOL CSmtpSession::SendEnvelope(const CMailMessage &message)
{
    const CString sender = EnvelopeSender(message.m_from.m_address);
    if (!CheckEnvelope(message) || !Command(CString::Formatted("MAIL FROM:<%s>\r\n", sender.GetString()), 250))
        return FALSE;
    for (const int kind : {ADDRESS_TO, ADDRESS_CC, ADDRESS_BCC}) {
        for (int index = 0; index < message.GetAddressCount(kind); ++index) {
            if (!AddRecipient(message.GetAddress(index, kind)))
                return FALSE;
        }
    }
    return TRUE;
}

// The content and the end of data go down in one call, in pieces, so that
// they leave together; the trace shows the content's size.
BOOL CSmtpSession::SendContent(const CMailMessage &message)
{
    const bool multipart = !message.m_attachments.empty();
    const CString header = message.BuildHeader();
    std::vector<CString> heads;
    heads.reserve(message.m_attachments.size());  // the pieces point into it
    std::vector<std::string_view> pieces{header.view()};
    if (multipart)
        pieces.push_back(MIME_TEXT_PART_HEAD);
    pieces.push_back(message.m_body.view());
    for (const CMailAttachment *attachment : message.m_attachments) {
        if (!attachment)
            continue;
        heads.push_back(attachment->BuildPartHead());
        pieces.push_back(heads.back().view());
        pieces.emplace_back(attachment->m_data, attachment->m_data ? attachment->m_length : 0);
    }
    if (multipart)
        pieces.push_back(MIME_CLOSING_DELIMITER);
    m_trace.Sent(CString::Formatted("<content: %zu bytes>", TotalSize(pieces)).view());
    m_trace.Sent(".");
    pieces.push_back(END_OF_DATA);
    return Transmit(pieces);
}

BOOL CSmtpSession::SendMail(const CMailMessage &message)
{
    return SendEnvelope(message) && Command("DATA\r\n", 354) && SendContent(message) &&
           Answered(250, {m_dataEndTimeout, m_dataEndTimeout});
}
