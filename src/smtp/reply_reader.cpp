#include "smtp/reply_reader.h"

#include "platform/last_error.h"
#include "smtp/reply_framing.h"

#include <algorithm>

namespace {

SmtpReply CompleteReply(std::string_view bytes, std::string_view lineEnd)
{
    const std::size_t cut = std::min(bytes.size(), lineEnd.size());
    return {0, CommonReplyCode(bytes, lineEnd), bytes, bytes.substr(0, bytes.size() - cut), 0};
}

SmtpReply FailedRead(DWORD error, std::string_view partial, const CReplyDeadline &deadline)
{
    return {error, 0, partial, partial, error == WSAETIMEDOUT ? deadline.ExpiredBound() : 0};
}

}  // namespace

SmtpReply CReplyReader::Read(CReplyBuffer &buffer, ReplyBounds bounds, std::string_view lineEnd)
{
    buffer.Append(m_pending);
    m_pending.clear();
    ReplyScan scan;
    CReplyDeadline deadline(bounds);
    for (;;) {
        const std::size_t end = FindReplyEnd(buffer.View(), lineEnd, scan);
        if (end != 0) {
            m_pending.assign(buffer.View().substr(end));
            return CompleteReply(buffer.View().substr(0, end), lineEnd);
        }
        if (buffer.View().size() > MAX_REPLY_LENGTH)
            return FailedRead(WSAEMSGSIZE, buffer.View(), deadline);
        if (const auto failure = ReceiveMore(buffer, deadline))
            return FailedRead(*failure, buffer.View(), deadline);
    }
}

// Waits at most one poll interval for the server and takes what it sent.
// Waiting first costs nothing when data is there, and saves a receive that
// finds nothing when the server has not run yet since the command (the
// usual case when both share a CPU). Nothing on success (or while the
// bounds allow more waiting); otherwise the last error that ends the read.
// A read that goes on after the abort ends as aborted when its time runs
// out.
std::optional<DWORD> CReplyReader::ReceiveMore(CReplyBuffer &buffer, CReplyDeadline &deadline)
{
    const DWORD left = deadline.Left();
    if (left == 0)
        return deadline.Aborted() ? WSAEINTR : WSAETIMEDOUT;
    switch (m_connection.IsReadable(std::min(POLL_INTERVAL, left), !deadline.Aborted())) {
    case SocketWait::TimedOut: return std::nullopt;
    case SocketWait::Signalled: return deadline.AbortCame() ? std::nullopt : std::optional<DWORD>(WSAEINTR);
    case SocketWait::Failed: return GetLastError();
    case SocketWait::Readable: break;
    }
    const int received = m_connection.Receive(buffer.End(), buffer.Room());
    if (received == CClientSocket::RECEIVE_NOTHING)
        return std::nullopt;
    if (received == 0)
        return WSAECONNRESET;
    if (received < 0)
        return GetLastError();
    deadline.DataArrived();
    buffer.Commit(received);
    return std::nullopt;
}
