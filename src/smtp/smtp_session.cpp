#include "smtp/smtp_session.h"

#include "platform/last_error.h"
#include "platform/ticks.h"
#include "smtp/reply_framing.h"

#include <algorithm>
#include <cstring>

// The bytes of one reply: in the caller's buffer at first, then in buffers
// grown by a fixed step, always zero-terminated after the received bytes.
class CSmtpSession::ReplyBuffer {
public:
    ReplyBuffer(char *buffer, int capacity, std::unique_ptr<char[]> &grown, int step)
        : m_data(buffer), m_capacity(capacity), m_grown(grown), m_step(std::max(step, 1))
    {
        if (m_capacity < 1)
            Grow();
        m_data[0] = '\0';
    }

    std::string_view View() const { return {m_data, static_cast<std::size_t>(m_received)}; }
    int Capacity() const { return m_capacity; }
    int Room() const { return std::max(m_capacity - m_received - 1, 0); }
    char *End() const { return m_data + m_received; }

    void Append(std::string_view bytes)
    {
        while (static_cast<std::size_t>(Room()) < bytes.size())
            Grow();
        std::memcpy(End(), bytes.data(), bytes.size());
        Commit(static_cast<int>(bytes.size()));
    }

    // Takes `count` bytes written at End(); a receive that filled the room
    // grows the buffer at once, even when the reply happens to be complete.
    void Commit(int count)
    {
        const bool filled = count == Room();
        m_received += count;
        m_data[m_received] = '\0';
        if (filled)
            Grow();
    }

private:
    void Grow()
    {
        const int capacity = std::max(m_capacity, 0) + m_step;
        auto bigger = std::make_unique<char[]>(static_cast<std::size_t>(capacity));
        if (m_received > 0)
            std::memcpy(bigger.get(), m_data, static_cast<std::size_t>(m_received));
        bigger[static_cast<std::size_t>(m_received)] = '\0';
        m_data = bigger.get();
        m_capacity = capacity;
        m_grown = std::move(bigger);
    }

    char *m_data;
    int m_capacity;
    int m_received = 0;
    std::unique_ptr<char[]> &m_grown;
    int m_step;
};

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
    if (!Transmit(CString::Formatted("HELO %s\r\n", CClientSocket::GetLocalHostName().GetString())))
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
        const bool failedBefore = m_failed;
        const CString earlierReply = m_lastReply;
        Transmit("QUIT\r\n");
        result = ExpectReply(221);
        // The reply that explains a failed transaction must survive the QUIT.
        if (!result && failedBefore)
            m_lastReply = earlierReply;
        if (!result && GetLastError() != WSAEINTR)
            SetLastError(ERROR_BAD_COMMAND);
        m_connected = FALSE;
    }
    m_connection.Close();
    m_pending.clear();
    return result;
}

CString CSmtpSession::GetErrorText() const { return m_errorText.IsEmpty() ? m_lastReply : m_errorText; }

BOOL CSmtpSession::Transmit(const char *data, int length)
{
    if (m_connection.Send(data, length))
        return TRUE;
    const DWORD error = GetLastError();
    if (error == WSAEINTR)
        return Fail(SMTP_ABORTED_TEXT, error);
    return Fail(CString::Formatted(SMTP_CONNECTION_LOST_TEXT, static_cast<int>(error)), error);
}

BOOL CSmtpSession::Fail(const CString &text, DWORD code)
{
    m_lastReply = text;
    m_failed = true;
    SetLastError(code);
    return FALSE;
}

BOOL CSmtpSession::ExpectReply(int expected)
{
    char buffer[REPLY_BUFFER_SIZE];
    std::unique_ptr<char[]> grown;
    return ReadReply(buffer, REPLY_BUFFER_SIZE, "\r\n", expected, grown, REPLY_GROWTH_STEP);
}

BOOL CSmtpSession::ReadReply(char *buffer, int capacity, const char *terminator, int expected,
                             std::unique_ptr<char[]> &grown, int step)
{
    ReplyBuffer reply(buffer, capacity, grown, step);
    reply.Append(m_pending);
    m_pending.clear();
    ReplyScan scan;
    DWORD mark = GetTickCount();
    for (;;) {
        const std::size_t end = FindReplyEnd(reply.View(), terminator, scan);
        if (end != 0) {
            m_replyCapacity = reply.Capacity();
            m_pending.assign(reply.View().substr(end));
            return FinishReply(reply.View().substr(0, end), terminator, expected);
        }
        if (reply.View().size() > MAX_REPLY_LENGTH)
            return Fail(SMTP_REPLY_TOO_LONG_TEXT, WSAEMSGSIZE);
        if (const auto failure = ReceiveMore(reply, mark))
            return Fail(ReadFailureText(*failure, reply.View()), *failure);
    }
}

// A read that ends with nothing received after a broken connection still
// says why, so that the delivery's failure report is never blank.
CString CSmtpSession::ReadFailureText(DWORD error, std::string_view partial)
{
    if (error == WSAEINTR)
        return SMTP_ABORTED_TEXT;
    if (!partial.empty() || error == WSAETIMEDOUT)
        return CString(partial);
    return CString::Formatted(SMTP_CONNECTION_LOST_TEXT, static_cast<int>(error));
}

// Waits at most one poll interval for the server and takes what it sent.
// Nothing on success (or while the silence lasts within the time-out);
// otherwise the last error that ends the read.
std::optional<DWORD> CSmtpSession::ReceiveMore(ReplyBuffer &reply, DWORD &mark)
{
    const DWORD now = GetTickCount();
    if (TicksElapsedBeyond(mark, now, m_replyTimeout))
        return WSAETIMEDOUT;
    const std::uint64_t left = std::uint64_t{m_replyTimeout} - static_cast<DWORD>(now - mark) + 1;
    switch (m_connection.WaitReadable(static_cast<DWORD>(std::min<std::uint64_t>(REPLY_POLL_INTERVAL, left)))) {
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
    mark = GetTickCount();
    reply.Commit(received);
    return std::nullopt;
}

BOOL CSmtpSession::FinishReply(std::string_view reply, const char *terminator, int expected)
{
    m_replyCode = ParseReplyCode(reply);
    if (m_replyCode == expected)
        return TRUE;
    const std::size_t cut = std::min(reply.size(), std::strlen(terminator));
    return Fail(CString(reply.substr(0, reply.size() - cut)), WSAEPROTONOSUPPORT);
}
