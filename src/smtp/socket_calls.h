// SocketCalls: the system calls beneath CClientSocket gathered in one table,
// so that tests can slip short writes, interrupted calls, full buffers and
// resets under the socket layer without a second copy of its logic. Every
// entry behaves as the system call it stands for and leaves its error in
// errno; `wait` sets the last error itself when it fails.
#pragma once

#include "platform/event.h"
#include "platform/win_types.h"
#include "smtp/socket_address.h"

#include <cstddef>
#include <span>
#include <string_view>

struct SocketCalls {
    // A TCP socket of `family` (AF_INET, AF_INET6), non-blocking,
    // close-on-exec, TCP_NODELAY; -1 on failure.
    int (*open)(int family);
    // The name look-up (name_lookup.h): 0 with the addresses to try, or the
    // error that ended it (WSAEINVAL, WSAETIMEDOUT, WSAEINTR on abort).
    DWORD (*resolve)(const char *host, unsigned short port, const CEvent *abort, DWORD timeout,
                     SocketAddresses &addresses);
    int (*connect)(int socket, const void *address, unsigned length);
    // The error a connect in progress ended with: 0 for none, -1 when unreadable.
    int (*connectError)(int socket);
    // One write of the pieces in turn (a gathered write): the count of
    // bytes taken from their front, which may be fewer than all.
    long (*send)(int socket, std::span<const std::string_view> pieces);
    long (*receive)(int socket, void *buffer, std::size_t capacity);
    SocketWait (*wait)(int socket, const CEvent *abort, DWORD timeout, bool forWrite);
    int (*close)(int socket);
    // The local end of a connected socket; false when unknown.
    bool (*localAddress)(int socket, SocketAddress &address);
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
