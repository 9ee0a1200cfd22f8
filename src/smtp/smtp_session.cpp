#include "smtp/smtp_session.h"

#include "platform/last_error.h"
#include "smtp/helo_name.h"
#include "smtp/reply_buffer.h"
#include "smtp/reply_framing.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

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

BOOL CSmtpSession::Connect(const char *host, int port)
{
    host = host ? host : "";
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
    if (!ExpectReply(220))
        return AbandonConnect("An unexpected SMTP login response was received\n");
    const CString name = HeloName(CClientSocket::GetLocalHostName(), m_connection.GetLocalAddressLiteral());
    if (!Transmit(CString::Formatted("HELO %s\r\n", name.GetString())))
        return AbandonConnect("An unexpected error occurred while sending the HELO command\n");
    if (!ExpectReply(250))
        return AbandonConnect("An unexpected HELO response was received\n");
    return TRUE;
}

BOOL CSmtpSession::AbandonConnect(const char *text)
{
    m_errorText = text;
    Disconnect();
    return FALSE;
}

BOOL CSmtpSession::Disconnect()
{
    BOOL result = FALSE;
    if (m_connected) {
        Transmit("QUIT\r\n");
        result = ExpectReply(221);
        if (!result && GetLastError() != WSAEINTR)
            SetLastError(ERROR_BAD_COMMAND);
        m_connected = FALSE;
    }
    m_connection.Close();
    m_pending.clear();
    return result;
}

CString CSmtpSession::GetErrorText() const { return m_errorText.IsEmpty() ? m_failureText : m_errorText; }

BOOL CSmtpSession::Transmit(const char *data, int length)
{
    if (m_connection.Send(data, length))
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
    if (error == WSAEINTR)
        return Fail(SMTP_ABORTED_TEXT, error);
    if (!partial.empty())
        return FailWithReply(CString(partial), CString(partial), error);
    if (error == WSAETIMEDOUT)
        return FailWithReply(CString(), CString::Formatted(SMTP_NO_REPLY_TEXT, WholeSeconds(deadline.ExpiredBound())),
                             error);
    return Fail(CString::Formatted(SMTP_CONNECTION_LOST_TEXT, static_cast<int>(error)), error);
}

// Waits at most one poll interval for the server and takes what it sent.
// Nothing on success (or while the bounds allow more waiting); otherwise
// the last error that ends the read.
std::optional<DWORD> CSmtpSession::ReceiveMore(CReplyBuffer &reply, CReplyDeadline &deadline)
{
    const DWORD left = deadline.Left();
    if (left == 0)
        return WSAETIMEDOUT;
    switch (m_connection.WaitReadable(std::min(REPLY_POLL_INTERVAL, left))) {
    case SocketWait::TimedOut: return std::nullopt;
    case SocketWait::Signalled: return WSAEINTR;
    case SocketWait::Failed: return GetLastError();
    case SocketWait::Readable: break;
    }
    const int received = m_connection.Receive(reply.End(), reply.Room());
    if (received == CClientSocket::RECEIVE_NOTHING)
        return std::nullopt;
    if (received == 0)
        return WSAECONNRESET;
    if (received < 0)
        return GetLastError();
    deadline.DataArrived();
    reply.Commit(received);
    return std::nullopt;
}

BOOL CSmtpSession::FinishReply(std::string_view reply, const char *terminator, int expected)
{
    m_replyCode = CommonReplyCode(reply, terminator);
    if (m_replyCode == expected)
        return TRUE;
    const std::size_t cut = std::min(reply.size(), std::strlen(terminator));
    const CString text(reply.substr(0, reply.size() - cut));
    if (m_replyCode == 0)
        return FailWithReply(text, SMTP_MALFORMED_REPLY_TEXT + text, WSAEPROTONOSUPPORT);
    return FailWithReply(text, text, WSAEPROTONOSUPPORT);
}

BOOL CSmtpSession::Command(const CString &command, int expected)
{
    return Command(command, expected, CommandBounds());
}

BOOL CSmtpSession::Command(const CString &command, int expected, ReplyBounds bounds)
{
    if (!Transmit(command))
        return FALSE;
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

BOOL CSmtpSession::SendContent(const CMailMessage &message)
{
    const bool multipart = !message.m_attachments.empty();
    if (!Transmit(message.BuildHeader()) || (multipart && !Transmit(MIME_TEXT_PART_HEAD)) ||
        !Transmit(message.m_body))
        return FALSE;
    for (const CMailAttachment *attachment : message.m_attachments) {
        if (!attachment)
            continue;
        const int length = attachment->m_data ? static_cast<int>(attachment->m_length) : 0;
        if (!Transmit(attachment->BuildPartHead()) || !Transmit(attachment->m_data, length))
            return FALSE;
    }
    return !multipart || Transmit(MIME_CLOSING_DELIMITER);
}

BOOL CSmtpSession::SendMail(const CMailMessage &message)
{
    return SendEnvelope(message) && Command("DATA\r\n", 354) && SendContent(message) &&
           Command("\r\n.\r\n", 250, {m_dataEndTimeout, m_dataEndTimeout});
}
