// A socket bound to 127.0.0.1 on a port the system chose: a loopback
// server's listener, a name server that never answers, or a port that
// refuses connections once the socket is gone.
#pragma once

#include "host/os/sockets.h"
#include "host/os/unique_fd.h"

struct LoopbackSocket {
    UniqueFd fd;
    unsigned short port = 0;  // 0 when no socket could be bound
};

// `type`: SOCK_STREAM or SOCK_DGRAM.
inline LoopbackSocket BindLoopback(int type)
{
    LoopbackSocket bound{UniqueFd(OpenSocket(AF_INET, type))};
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bound.fd.Valid() && bind(bound.fd.Get(), reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        getsockname(bound.fd.Get(), reinterpret_cast<sockaddr *>(&address), &length) == 0)
        bound.port = ntohs(address.sin_port);
    return bound;
}
