// CSmtpSession: the server's replies, read by the session's reply reader
// and judged here.
#include "smtp/smtp_session.h"

#include "platform/last_error.h"

#include <cstdint>

namespace {

int WholeSeconds(DWORD milliseconds) { return static_cast<int>((std::uint64_t{milliseconds} + 999) / 1000); }

}  // namespace

BOOL CSmtpSession::ExpectReply(int expected) { return ExpectReplyWithin(expected, CommandBounds()); }

BOOL CSmtpSession::ExpectReplyWithin(int expected, ReplyBounds bounds)
{
    char buffer[CReplyReader::BUFFER_SIZE];
    std::unique_ptr<char[]> grown;
    return ReadReply(buffer, CReplyReader::BUFFER_SIZE, "\r\n", expected, grown, CReplyReader::GROWTH_STEP, bounds);
}

BOOL CSmtpSession::ReadReply(char *buffer, int capacity, const char *terminator, int expected,
                             std::unique_ptr<char[]> &grown, int step, ReplyBounds bounds)
{
    CReplyBuffer reply(buffer, capacity, grown, step);
    return CheckReply(m_reader.Read(reply, bounds, terminator), expected);
}

// The EHLO reply, whose lines the session reads after the code.
BOOL CSmtpSession::ExpectReplyText(int expected, std::string &text)
{
    char buffer[CReplyReader::BUFFER_SIZE];
    std::unique_ptr<char[]> grown;
    CReplyBuffer storage(buffer, CReplyReader::BUFFER_SIZE, grown, CReplyReader::GROWTH_STEP);
    const SmtpReply reply = m_reader.Read(storage, CommandBounds());
    text.assign(reply.bytes);
    return CheckReply(reply, expected);
}

BOOL CSmtpSession::CheckReply(const SmtpReply &reply, int expected)
{
    if (!reply.Complete())
        return FailRead(reply);
    m_trace.Received(reply.bytes);
    m_replyCode = reply.code;
    if (m_replyCode == expected)
        return TRUE;
    const CString text(reply.text);
    if (m_replyCode == 0)
        return FailWithReply(text, SMTP_MALFORMED_REPLY_TEXT + text, WSAEPROTONOSUPPORT);
    return FailWithReply(text, text, WSAEPROTONOSUPPORT);
}

// A read that ends with nothing received still says why, so that the
// delivery's failure report is never blank; what the server did send is
// its reply.
BOOL CSmtpSession::FailRead(const SmtpReply &reply)
{
    const DWORD error = reply.error;
    if (error == WSAEMSGSIZE)
        return Fail(SMTP_REPLY_TOO_LONG_TEXT, error);
    m_trace.Received(reply.text);
    if (error == WSAEINTR)
        return Fail(SMTP_ABORTED_TEXT, error);
    if (!reply.text.empty())
        return FailWithReply(CString(reply.text), CString(reply.text), error);
    if (error == WSAETIMEDOUT)
        return FailWithReply(CString(), CString::Formatted(SMTP_NO_REPLY_TEXT, WholeSeconds(reply.expiredBound)),
                             error);
    return Fail(CString::Formatted(SMTP_CONNECTION_LOST_TEXT, static_cast<int>(error)), error);
}
