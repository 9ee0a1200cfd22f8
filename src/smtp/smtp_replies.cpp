// CSmtpSession: reading the server's replies within their bounds.
#include "smtp/smtp_session.h"

#include "platform/last_error.h"
#include "smtp/reply_buffer.h"
#include "smtp/reply_framing.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

int WholeSeconds(DWORD milliseconds) { return static_cast<int>((std::uint64_t{milliseconds} + 999) / 1000); }

}  // namespace

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

// Waits at most one poll interval for the server and takes what it sent.
// Waiting first costs nothing when data is there, and saves a receive that
// finds nothing when the server has not run yet since the command (the
// usual case when both share a CPU). Nothing on success (or while the
// bounds allow more waiting); otherwise the last error that ends the read.
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
