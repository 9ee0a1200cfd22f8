#include "smtp/socket_calls.h"

#include "smtp/name_lookup.h"
#include "smtp/system_sockets.h"

#include <cerrno>
#include <vector>

namespace {

SOCKET Native(SocketHandle socket) { return static_cast<SOCKET>(socket); }

// Winsock leaves its error in its own value; the table's contract wants it
// in errno.
template <typename Result>
Result WithErrno(Result result, bool failed)
{
    if (failed)
        errno = WSAGetLastError();
    return result;
}

// Not inherited by programs the host starts, non-blocking, no delay.
SocketHandle OpenSystemSocket(int family)
{
    const SOCKET made = WSASocketW(family, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (made == INVALID_SOCKET)
        return WithErrno(NO_SOCKET, true);
    u_long nonBlocking = 1;
    const BOOL on = TRUE;
    if (ioctlsocket(made, FIONBIO, &nonBlocking) != 0) {
        errno = WSAGetLastError();
        closesocket(made);
        return NO_SOCKET;
    }
    setsockopt(made, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char *>(&on), sizeof on);
    return static_cast<SocketHandle>(made);
}

int ConnectSystem(SocketHandle socket, const void *address, unsigned length)
{
    const int result = connect(Native(socket), static_cast<const sockaddr *>(address), static_cast<int>(length));
    return WithErrno(result, result != 0);
}

int ConnectErrorSystem(SocketHandle socket)
{
    int error = 0;
    int length = sizeof error;
    const int result = getsockopt(Native(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&error), &length);
    return result == 0 ? error : WithErrno(-1, true);
}

// As many of the pieces as one gathered send takes; empty ones take no place.
constexpr std::size_t PIECES_PER_WRITE = 16;

long SendSystem(SocketHandle socket, std::span<const std::string_view> pieces)
{
    std::vector<WSABUF> buffers;
    for (const std::string_view piece : pieces) {
        if (buffers.size() == PIECES_PER_WRITE)
            break;
        if (!piece.empty())
            buffers.push_back(WSABUF{static_cast<ULONG>(piece.size()), const_cast<char *>(piece.data())});
    }
    DWORD sent = 0;
    const int result = WSASend(Native(socket), buffers.data(), static_cast<DWORD>(buffers.size()), &sent, 0,
                               nullptr, nullptr);
    return WithErrno(result == 0 ? static_cast<long>(sent) : -1L, result != 0);
}

long ReceiveSystem(SocketHandle socket, void *buffer, std::size_t capacity)
{
    const int received = recv(Native(socket), static_cast<char *>(buffer), static_cast<int>(capacity), 0);
    return WithErrno(static_cast<long>(received), received < 0);
}

int CloseSystem(SocketHandle socket)
{
    const int result = closesocket(Native(socket));
    return WithErrno(result, result != 0);
}

bool LocalAddressSystem(SocketHandle socket, SocketAddress &address)
{
    address = SocketAddress();
    int length = sizeof address.bytes;
    if (getsockname(Native(socket), reinterpret_cast<sockaddr *>(address.bytes), &length) != 0)
        return false;
    address.family = reinterpret_cast<const sockaddr *>(address.bytes)->sa_family;
    address.length = static_cast<unsigned>(length);
    return true;
}

int HostNameSystem(char *name, std::size_t length)
{
    const int result = gethostname(name, static_cast<int>(length));
    return WithErrno(result, result != 0);
}

constexpr SocketCalls SYSTEM_CALLS{OpenSystemSocket, LookUpName,    ConnectSystem,        ConnectErrorSystem,
                                   SendSystem,       ReceiveSystem, WaitForSocketOrEvent, CloseSystem,
                                   LocalAddressSystem, HostNameSystem};

}  // namespace

const SocketCalls &SystemSocketCalls() { return SYSTEM_CALLS; }
