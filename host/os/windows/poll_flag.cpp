#include "host/os/poll_flag.h"

#include "host/os/sockets.h"

#include <system_error>

namespace {

// A datagram socket on 127.0.0.1 connected to itself: what it sends to
// itself makes it readable, so WSAPoll can wait on it with other sockets.
int OpenSelfConnectedSocket()
{
    UniqueFd socket(OpenSocket(AF_INET, SOCK_DGRAM));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    const auto *name = reinterpret_cast<sockaddr *>(&address);
    if (!socket.Valid() || bind(socket.Get(), name, sizeof address) != 0 ||
        getsockname(socket.Get(), reinterpret_cast<sockaddr *>(&address), &length) != 0 ||
        connect(socket.Get(), name, sizeof address) != 0)
        return -1;
    return socket.Release();
}

}  // namespace

PollFlag::PollFlag() : m_fd(OpenSelfConnectedSocket())
{
    if (!m_fd.Valid())
        throw std::system_error(LastSocketError(), std::system_category(), "loopback socket");
}

// The datagram is never read, so the socket stays readable.
void PollFlag::Raise() { SendSome(m_fd.Get(), "!", 1); }
