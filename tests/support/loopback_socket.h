// A socket bound to 127.0.0.1 on a port the system chose, for tests that
// need a port of their own: a name server that never answers, or a port
// that refuses connections once the socket is gone.
#pragma once

#include "host/unique_fd.h"

#include <netinet/in.h>
#include <sys/socket.h>

struct LoopbackSocket {
    UniqueFd fd;
    unsigned short port = 0;
};

// `type`: SOCK_STREAM or SOCK_DGRAM.
inline LoopbackSocket BindLoopback(int type)
{
    LoopbackSocket bound{UniqueFd(socket(AF_INET, type | SOCK_CLOEXEC, 0))};
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(bound.fd.Get(), reinterpret_cast<sockaddr *>(&address), sizeof address);
    getsockname(bound.fd.Get(), reinterpret_cast<sockaddr *>(&address), &length);
    bound.port = ntohs(address.sin_port);
    return bound;
}
