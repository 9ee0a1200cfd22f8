#include "host/os/sockets.h"

#include <climits>

namespace {

int Held(SOCKET socket) { return socket == INVALID_SOCKET ? -1 : static_cast<int>(socket); }

int Length(std::size_t size) { return static_cast<int>(size > INT_MAX ? INT_MAX : size); }

}  // namespace

int LastSocketError() { return WSAGetLastError(); }

bool IsInterrupted(int error) { return error == WSAEINTR; }

int OpenSocket(int family, int type)
{
    return Held(WSASocketW(family, type, 0, nullptr, 0, WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT));
}

int AcceptConnection(int listener)
{
    const SOCKET accepted = accept(static_cast<SOCKET>(listener), nullptr, nullptr);
    if (accepted != INVALID_SOCKET)
        SetHandleInformation(reinterpret_cast<HANDLE>(accepted), HANDLE_FLAG_INHERIT, 0);
    return Held(accepted);
}

int PollSockets(pollfd *fds, std::size_t count, int timeoutMs)
{
    return WSAPoll(fds, static_cast<ULONG>(count), timeoutMs);
}

long SendSome(int socket, const char *data, std::size_t length)
{
    return send(static_cast<SOCKET>(socket), data, Length(length), 0);
}

long ReceiveSome(int socket, char *buffer, std::size_t capacity)
{
    return recv(static_cast<SOCKET>(socket), buffer, Length(capacity), 0);
}
