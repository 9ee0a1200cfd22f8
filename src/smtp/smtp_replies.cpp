// CSmtpSession: the server's replies, read by the session's reply reader
// and judged here.
#include "smtp/smtp_session.h"

#include "platform/last_error.h"

BOOL CSmtpSession::ExpectReply(int expected) { return AwaitReply(LAST_COMMAND, expected, CommandBounds()); }

BOOL CSmtpSession::ReadReply(char *buffer, int capacity, const char *terminator, int expected,
                             std::unique_ptr<char[]> &grown, int step, ReplyBounds bounds)
{
    CReplyBuffer reply(buffer, capacity, grown, step);
    return CheckReply(m_reader.Read(reply, bounds, terminator), expected, LAST_COMMAND);
}

BOOL CSmtpSession::AwaitReply(std::string_view name, int expected, ReplyBounds bounds, std::string *text)
{
    char buffer[CReplyReader::BUFFER_SIZE];
    std::unique_ptr<char[]> grown;
    CReplyBuffer storage(buffer, CReplyReader::BUFFER_SIZE, grown, CReplyReader::GROWTH_STEP);
    const SmtpReply reply = m_reader.Read(storage, bounds);
    if (text)
        text->assign(reply.bytes);
    return CheckReply(reply, expected, name);
}

BOOL CSmtpSession::CheckReply(const SmtpReply &reply, int expected, std::string_view name)
{
    m_refused = false;
    if (!reply.Complete())
        return FailRead(reply, name);
    m_trace.Received(reply.bytes);
    m_replyCode = reply.code;
    if (m_replyCode == expected)
        return TRUE;
    m_refused = true;
    const CString text(reply.text);
    if (m_replyCode == 0)
        return FailWithReply(text, SMTP_MALFORMED_REPLY_TEXT + text, WSAEPROTONOSUPPORT);
    return FailWithReply(text, text, WSAEPROTONOSUPPORT);
}

// A read that ends with nothing received still says why, so that the
// delivery's failure report is never blank; what the server did send is
// its reply. On the route to a provider a reply that did not come is
// named as such, with the command it answers.
BOOL CSmtpSession::FailRead(const SmtpReply &reply, std::string_view name)
{
    const DWORD error = reply.error;
    m_outOfStep = OnProviderRoute();
    if (error == WSAEMSGSIZE)
        return Fail(SMTP_REPLY_TOO_LONG_TEXT, error);
    m_trace.Received(reply.text);
    if (error == WSAEINTR)
        return Fail(SMTP_ABORTED_TEXT, error);
    const CString partial(reply.text);
    const int seconds = WholeSeconds(reply.expiredBound);
    if (error == WSAETIMEDOUT && OnProviderRoute()) {
        const std::string command(name);
        return FailWithReply(partial, CString::Formatted(SMTP_NO_REPLY_TO_TEXT, command.c_str(), m_server.GetString(), seconds),
                             error);
    }
    if (!partial.IsEmpty())
        return FailWithReply(partial, partial, error);
    if (error == WSAETIMEDOUT)
        return FailWithReply(CString(), CString::Formatted(SMTP_NO_REPLY_TEXT, seconds), error);
    return Fail(CString::Formatted(SMTP_CONNECTION_LOST_TEXT, static_cast<int>(error)), error);
}
