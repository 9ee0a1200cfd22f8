#include "host/os/sockets.h"

#include <unistd.h>

#include <cerrno>

int LastSocketError() { return errno; }

bool IsInterrupted(int error) { return error == EINTR; }

int OpenSocket(int family, int type) { return socket(family, type | SOCK_CLOEXEC, 0); }

int AcceptConnection(int listener) { return accept4(listener, nullptr, nullptr, SOCK_CLOEXEC); }

int PollSockets(pollfd *fds, std::size_t count, int timeoutMs) { return poll(fds, count, timeoutMs); }

long SendSome(int socket, const char *data, std::size_t length) { return send(socket, data, length, MSG_NOSIGNAL); }

long ReceiveSome(int socket, char *buffer, std::size_t capacity) { return recv(socket, buffer, capacity, 0); }
