#include "smtp/client_socket.h"

#include "platform/last_error.h"
#include "platform/ticks.h"
#include "smtp/name_lookup.h"
#include "smtp/send_pieces.h"
#include "smtp/system_sockets.h"

#include <atomic>
#include <cerrno>
#include <vector>

namespace {

std::atomic<const SocketCalls *> g_socketCalls{&SystemSocketCalls()};

int Fail(int error)
{
    WSASetLastError(error);
    return 0;
}

// Where a socket wait ended, as a last error: 0 when the socket is ready.
DWORD WaitOutcome(SocketWait result)
{
    switch (result) {
    case SocketWait::Readable: return 0;
    case SocketWait::Signalled: return WSAEINTR;
    case SocketWait::TimedOut: return WSAETIMEDOUT;
    case SocketWait::Failed: break;
    }
    return GetLastError() ? GetLastError() : WSAEINVAL;
}

}  // namespace

const SocketCalls &CurrentSocketCalls() { return *g_socketCalls.load(); }

void UseSocketCalls(const SocketCalls *calls) { g_socketCalls.store(calls ? calls : &SystemSocketCalls()); }

CClientSocket::~CClientSocket() { Close(); }

int CClientSocket::Create() { return Open(AF_INET); }

int CClientSocket::Open(int family)
{
    Close();
    m_calls = &CurrentSocketCalls();
    m_socket = m_calls->open(family);
    m_family = family;
    m_tried = false;
    return m_socket != NO_SOCKET ? 1 : Fail(errno);
}

int CClientSocket::Connect(const char *host, unsigned short port)
{
    const CTickBound bound(m_connectTimeout);
    host = host ? host : "";
    SocketAddresses addresses(1);
    if (!ParseAddressLiteral(host, port, addresses.front())) {
        if (const DWORD error = m_calls->resolve(host, port, m_abort, bound.Left(), addresses))
            return Fail(static_cast<int>(error));
    }
    return ConnectAny(addresses, bound);
}

// Tries each address in turn until one connects. Each gets an equal share
// of what is left of the bound, so an address that never answers cannot
// keep the others from being tried. The last address's error stays.
int CClientSocket::ConnectAny(const SocketAddresses &addresses, const CTickBound &bound)
{
    if (addresses.empty())
        return Fail(static_cast<int>(WSAEINVAL));
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const SocketAddress &address = addresses[i];
        if ((m_tried || address.family != m_family || m_socket == NO_SOCKET) && !Open(address.family))
            continue;
        m_tried = true;
        const DWORD share = bound.Left() == INFINITE ? INFINITE : bound.Left() / (addresses.size() - i);
        if (ConnectAddress(address.bytes, static_cast<int>(address.length), share))
            return 1;
        if (GetLastError() == WSAEINTR)
            return 0;
    }
    return 0;
}

int CClientSocket::ConnectAddress(const void *address, int length, DWORD timeout)
{
    if (m_calls->connect(m_socket, address, static_cast<unsigned>(length)) == 0)
        return 1;
    if (!SocketWouldBlock(errno) && errno != SOCKET_INTERRUPTED)
        return Fail(errno);
    const DWORD outcome = WaitOutcome(m_calls->wait(m_socket, m_abort, timeout, true));
    if (outcome != 0)
        return Fail(static_cast<int>(outcome));
    const int error = m_calls->connectError(m_socket);
    return error == 0 ? 1 : Fail(error < 0 ? errno : error);
}

// The silence bound restarts whenever the peer takes any bytes.
int CClientSocket::Send(std::span<const std::string_view> pieces)
{
    std::vector<std::string_view> left(pieces.begin(), pieces.end());
    std::span<std::string_view> rest(left);
    CTickBound silence(m_sendTimeout);
    do {
        const IoAttempt attempt = WriteSome(rest);
        if (attempt.kind == IoAttempt::Kind::Moved) {
            DropFront(rest, attempt.count);
            silence = CTickBound(m_sendTimeout);
        } else if (attempt.kind != IoAttempt::Kind::Retry && !WaitFor(attempt, silence.Left())) {
            return 0;
        }
    } while (!rest.empty());
    return 1;
}

IoAttempt CClientSocket::WriteSome(std::span<const std::string_view> pieces)
{
    if (m_tls)
        return m_tls->Write(pieces);
    const long written = m_calls->send(m_socket, pieces);
    const int error = errno;
    if (written > 0 || (written == 0 && TotalSize(pieces) == 0))
        return IoAttempt::Moved(static_cast<std::size_t>(written));
    if (written < 0 && error == SOCKET_INTERRUPTED)
        return IoAttempt::Is(IoAttempt::Kind::Retry);
    if (written < 0 && !SocketWouldBlock(error)) {
        SetLastError(static_cast<DWORD>(error));
        return IoAttempt::Is(IoAttempt::Kind::Failed);
    }
    return IoAttempt::Is(IoAttempt::Kind::WaitWrite);
}

// A wait that is needed goes on the socket with the abort; a close or a
// failure ends the transfer.
bool CClientSocket::WaitFor(const IoAttempt &attempt, DWORD left) const
{
    DWORD outcome = WSAECONNRESET;
    if (attempt.kind == IoAttempt::Kind::Failed)
        return false;
    const bool forWrite = attempt.kind == IoAttempt::Kind::WaitWrite;
    if (attempt.Waits())
        outcome = left == 0 ? WSAETIMEDOUT : WaitOutcome(m_calls->wait(m_socket, m_abort, left, forWrite));
    if (outcome != 0)
        SetLastError(outcome);
    return outcome == 0;
}

int CClientSocket::Receive(char *buffer, int capacity)
{
    const std::size_t room = capacity > 0 ? static_cast<std::size_t>(capacity) : 0;
    for (;;) {
        const IoAttempt attempt = ReadSome(buffer, room);
        m_readWantsWrite = attempt.kind == IoAttempt::Kind::WaitWrite;
        switch (attempt.kind) {
        case IoAttempt::Kind::Moved: return static_cast<int>(attempt.count);
        case IoAttempt::Kind::Closed: return 0;
        case IoAttempt::Kind::Failed: return -1;
        case IoAttempt::Kind::Retry: continue;
        case IoAttempt::Kind::WaitRead:
        case IoAttempt::Kind::WaitWrite: return RECEIVE_NOTHING;
        }
    }
}

IoAttempt CClientSocket::ReadSome(char *buffer, std::size_t capacity)
{
    if (m_tls)
        return m_tls->Read(buffer, capacity);
    const long received = m_calls->receive(m_socket, buffer, capacity);
    if (received > 0)
        return IoAttempt::Moved(static_cast<std::size_t>(received));
    if (received == 0)
        return IoAttempt::Is(IoAttempt::Kind::Closed);
    if (SocketWouldBlock(errno))
        return IoAttempt::Is(IoAttempt::Kind::WaitRead);
    if (errno == SOCKET_INTERRUPTED)
        return IoAttempt::Is(IoAttempt::Kind::Retry);
    SetLastError(static_cast<DWORD>(errno));
    return IoAttempt::Is(IoAttempt::Kind::Failed);
}

int CClientSocket::StartTls(const TlsPeer &peer, ReplyBounds bounds, CString &failure)
{
    SetLastError(0);
    auto channel = std::make_unique<CTlsChannel>(*m_calls, m_socket);
    bool ready = channel->Prepare(peer);
    CReplyDeadline deadline(bounds);
    while (ready) {
        const IoAttempt attempt = channel->Handshake();
        if (attempt.kind == IoAttempt::Kind::Moved) {
            m_tls = std::move(channel);
            return 1;
        }
        ready = attempt.kind == IoAttempt::Kind::Retry || WaitFor(attempt, deadline.Left());
        deadline.DataArrived();
    }
    const DWORD error = GetLastError() ? GetLastError() : WSAECONNABORTED;
    failure = channel->Failure(error);
    SetLastError(error);
    return 0;
}

int CClientSocket::Close()
{
    if (m_tls)
        m_tls->Shutdown();
    m_tls.reset();
    m_readWantsWrite = false;
    if (m_socket == NO_SOCKET)
        return -1;
    const int result = m_calls->close(m_socket);
    m_socket = NO_SOCKET;
    return result;
}

SocketWait CClientSocket::IsReadable(DWORD timeout, bool watchAbort) const
{
    if (m_tls && m_tls->HasPendingInput())
        return SocketWait::Readable;
    return m_calls->wait(m_socket, watchAbort ? m_abort : nullptr, timeout, m_readWantsWrite);
}

CString CClientSocket::GetLocalAddressLiteral() const
{
    SocketAddress local;
    if (m_socket == NO_SOCKET || !m_calls->localAddress(m_socket, local))
        return CString("[127.0.0.1]");
    return CString(AddressLiteral(local));
}

CString CClientSocket::GetLocalHostName()
{
    char name[100] = {};
    if (CurrentSocketCalls().hostName(name, sizeof name - 1) != 0 || name[0] == '\0')
        return CString("localhost");
    return CString(name);
}
