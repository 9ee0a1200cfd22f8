// SocketCalls: the system calls beneath CClientSocket gathered in one table,
// so that tests can slip short writes, interrupted calls, full buffers and
// resets under the socket layer without a second copy of its logic. Every
// entry behaves as the system call it stands for and leaves its error in
// errno; `wait` sets the last error itself when it fails.
#pragma once

#include "platform/event.h"
#include "platform/win_types.h"

#include <cstddef>
#include <cstdint>

struct SocketCalls {
    // A TCP/IPv4 socket, non-blocking, close-on-exec, TCP_NODELAY; -1 on failure.
    int (*open)();
    // Name look-up; false when `host` does not resolve. `address`: the first
    // IPv4 address, in network byte order.
    bool (*resolve)(const char *host, std::uint32_t &address);
    int (*connect)(int socket, const void *address, unsigned length);
    // The error a connect in progress ended with: 0 for none, -1 when unreadable.
    int (*connectError)(int socket);
    long (*send)(int socket, const void *data, std::size_t length);
    long (*receive)(int socket, void *buffer, std::size_t capacity);
    SocketWait (*wait)(int socket, const CEvent *abort, DWORD timeout, bool forWrite);
    int (*close)(int socket);
};

// The operating system's calls.
const SocketCalls &SystemSocketCalls();
// The table that sockets created from now on use.
const SocketCalls &CurrentSocketCalls();
// Replaces the table for sockets created later; null restores the system's.
// The table must outlive every socket created with it.
void UseSocketCalls(const SocketCalls *calls);
