// The system's socket interface as the socket layer uses it: its headers
// (Winsock 2 on Windows, the BSD sockets elsewhere) and the socket errors
// that the layer tells apart, in the system's own numbers. The entries of
// SocketCalls leave their error in errno in these numbers.
#pragma once

#if defined(_WIN32)
#include "platform/win_types.h"
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#endif

#if defined(_WIN32)
// A non-blocking call found nothing to do yet (connect, send, receive).
constexpr int SOCKET_WOULD_BLOCK = WSAEWOULDBLOCK;
constexpr int SOCKET_IN_PROGRESS = WSAEINPROGRESS;
constexpr int SOCKET_INTERRUPTED = WSAEINTR;
constexpr int SOCKET_CONNECTION_RESET = WSAECONNRESET;
constexpr int SOCKET_CONNECTION_REFUSED = WSAECONNREFUSED;
#else
constexpr int SOCKET_WOULD_BLOCK = EWOULDBLOCK;
constexpr int SOCKET_IN_PROGRESS = EINPROGRESS;
constexpr int SOCKET_INTERRUPTED = EINTR;
constexpr int SOCKET_CONNECTION_RESET = ECONNRESET;
constexpr int SOCKET_CONNECTION_REFUSED = ECONNREFUSED;
#endif

// The call would have had to wait: try again once the socket is ready.
inline bool SocketWouldBlock(int error)
{
    return error == SOCKET_WOULD_BLOCK || error == EAGAIN || error == SOCKET_IN_PROGRESS;
}
