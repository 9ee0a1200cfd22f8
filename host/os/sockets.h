// Sockets as the host's loopback pieces use them: the system's socket
// headers (Winsock 2 on Windows) and the few calls whose form differs from
// one system to the next. A socket is held as an int (UniqueFd); Winsock's
// socket handles are small numbers that fit one. Winsock must be started
// (WSAStartup) before any of these on Windows.
#pragma once

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#endif

#include <cstddef>

// The calling thread's last socket error, in the system's numbers.
int LastSocketError();
// The error of a call that a signal interrupted; retry it.
bool IsInterrupted(int error);

// A socket of `type` (SOCK_STREAM, SOCK_DGRAM) that the programs the host
// starts do not inherit; -1 on failure.
int OpenSocket(int family, int type);
// The next connection on `listener`, not inherited either; -1 on failure.
int AcceptConnection(int listener);
// poll() over sockets: the count of ready ones, 0 after `timeoutMs` (-1:
// no bound), -1 on failure.
int PollSockets(pollfd *fds, std::size_t count, int timeoutMs);
// One send, never raising a signal when the peer has gone; -1 on failure.
long SendSome(int socket, const char *data, std::size_t length);
long ReceiveSome(int socket, char *buffer, std::size_t capacity);
