// SocketCalls: the system calls beneath CClientSocket gathered in one table,
// so that tests can slip short writes, interrupted calls, full buffers and
// resets under the socket layer without a second copy of its logic. Every
// entry behaves as the system call it stands for and leaves its error in
// errno, in the system's socket error numbers (system_sockets.h: the WSA
// numbers on Windows); `wait` sets the last error itself when it fails.
// The system's table is the BSD sockets' here and Winsock 2's on Windows
// (posix/socket_calls.cpp, windows/socket_calls.cpp).
#pragma once

#include "platform/event.h"
#include "platform/win_types.h"
#include "smtp/socket_address.h"

#include <cstddef>
#include <span>
#include <string_view>

struct SocketCalls {
    // A TCP socket of `family` (AF_INET, AF_INET6), non-blocking,
    // close-on-exec (not inherited), TCP_NODELAY; NO_SOCKET on failure.
    SocketHandle (*open)(int family);
    // The name look-up (name_lookup.h): 0 with the addresses to try, or the
    // error that ended it (WSAEINVAL, WSAETIMEDOUT, WSAEINTR on abort).
    DWORD (*resolve)(const char *host, unsigned short port, const CEvent *abort, DWORD timeout,
                     SocketAddresses &addresses);
    int (*connect)(SocketHandle socket, const void *address, unsigned length);
    // The error a connect in progress ended with: 0 for none, -1 when unreadable.
    int (*connectError)(SocketHandle socket);
    // One write of the pieces in turn (a gathered write): the count of
    // bytes taken from their front, which may be fewer than all.
    long (*send)(SocketHandle socket, std::span<const std::string_view> pieces);
    long (*receive)(SocketHandle socket, void *buffer, std::size_t capacity);
    SocketWait (*wait)(SocketHandle socket, const CEvent *abort, DWORD timeout, bool forWrite);
    int (*close)(SocketHandle socket);
    // The local end of a connected socket; false when unknown.
    bool (*localAddress)(SocketHandle socket, SocketAddress &address);
    // This machine's name, as gethostname gives it: 0 on success.
    int (*hostName)(char *name, std::size_t length);
};

// The operating system's calls.
const SocketCalls &SystemSocketCalls();
// The table that sockets created from now on use.
const SocketCalls &CurrentSocketCalls();
// Replaces the table for sockets created later; null restores the system's.
// The table must outlive every socket created with it.
void UseSocketCalls(const SocketCalls *calls);
