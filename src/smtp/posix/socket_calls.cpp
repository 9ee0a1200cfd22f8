#include "smtp/socket_calls.h"

#include "smtp/name_lookup.h"
#include "smtp/system_sockets.h"

#include <array>

namespace {

int Descriptor(SocketHandle socket) { return static_cast<int>(socket); }

SocketHandle OpenSystemSocket(int family)
{
    const int fd = socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd >= 0) {
        const int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
    return fd >= 0 ? fd : NO_SOCKET;
}

int ConnectSystem(SocketHandle socket, const void *address, unsigned length)
{
    return connect(Descriptor(socket), static_cast<const sockaddr *>(address), length);
}

int ConnectErrorSystem(SocketHandle socket)
{
    int error = 0;
    socklen_t length = sizeof error;
    return getsockopt(Descriptor(socket), SOL_SOCKET, SO_ERROR, &error, &length) == 0 ? error : -1;
}

// Pieces past the first PIECES_PER_WRITE that hold bytes wait for the next
// write; empty pieces take no place, so a write moves something whenever
// any piece holds bytes.
constexpr std::size_t PIECES_PER_WRITE = 16;

long SendSystem(SocketHandle socket, std::span<const std::string_view> pieces)
{
    std::array<iovec, PIECES_PER_WRITE> vectors{};
    msghdr message{};
    message.msg_iov = vectors.data();
    for (const std::string_view piece : pieces) {
        if (message.msg_iovlen == PIECES_PER_WRITE)
            break;
        if (!piece.empty())
            vectors[message.msg_iovlen++] = iovec{const_cast<char *>(piece.data()), piece.size()};
    }
    return sendmsg(Descriptor(socket), &message, MSG_NOSIGNAL);
}

long ReceiveSystem(SocketHandle socket, void *buffer, std::size_t capacity)
{
    return recv(Descriptor(socket), buffer, capacity, 0);
}

int CloseSystem(SocketHandle socket) { return close(Descriptor(socket)); }

bool LocalAddressSystem(SocketHandle socket, SocketAddress &address)
{
    address = SocketAddress();
    socklen_t length = sizeof address.bytes;
    if (getsockname(Descriptor(socket), reinterpret_cast<sockaddr *>(address.bytes), &length) != 0)
        return false;
    address.family = reinterpret_cast<const sockaddr *>(address.bytes)->sa_family;
    address.length = length;
    return true;
}

constexpr SocketCalls SYSTEM_CALLS{OpenSystemSocket, LookUpName,    ConnectSystem,        ConnectErrorSystem,
                                   SendSystem,       ReceiveSystem, WaitForSocketOrEvent, CloseSystem,
                                   LocalAddressSystem, gethostname};

}  // namespace

const SocketCalls &SystemSocketCalls() { return SYSTEM_CALLS; }
