#include "fake_socket_calls.h"

#include <algorithm>
#include <cerrno>

namespace {

FakeSocketState g_state;

const SocketCalls &Real() { return SystemSocketCalls(); }

int Open() { return g_state.passThrough ? Real().open() : 42; }

bool Resolve(const char *host, std::uint32_t &address)
{
    ++g_state.resolveCalls;
    return g_state.passThrough && Real().resolve(host, address);
}

int Connect(int socket, const void *address, unsigned length)
{
    ++g_state.connectCalls;
    if (g_state.passThrough)
        return Real().connect(socket, address, length);
    errno = EINPROGRESS;
    return -1;
}

int ConnectError(int socket) { return g_state.passThrough ? Real().connectError(socket) : g_state.connectError; }

long Send(int socket, const void *data, std::size_t length)
{
    ++g_state.sendCalls;
    long allowed = static_cast<long>(length);
    if (!g_state.sendPlan.empty()) {
        allowed = g_state.sendPlan.front();
        g_state.sendPlan.pop_front();
        if (allowed < 0) {
            errno = static_cast<int>(-allowed);
            return -1;
        }
        allowed = std::min(allowed, static_cast<long>(length));
    }
    const long sent = g_state.passThrough ? Real().send(socket, data, static_cast<std::size_t>(allowed)) : allowed;
    if (sent > 0)
        g_state.written.append(static_cast<const char *>(data), static_cast<std::size_t>(sent));
    return sent;
}

long Receive(int socket, void *buffer, std::size_t capacity)
{
    if (g_state.passThrough)
        return Real().receive(socket, buffer, capacity);
    errno = EAGAIN;
    return -1;
}

SocketWait Wait(int socket, const CEvent *abort, DWORD timeout, bool forWrite)
{
    ++g_state.waitCalls;
    if (g_state.passThrough)
        return Real().wait(socket, abort, timeout, forWrite);
    return abort && abort->IsSignalled() ? SocketWait::Signalled : g_state.waitResult;
}

int Close(int socket) { return g_state.passThrough ? Real().close(socket) : 0; }

constexpr SocketCalls FAKE_CALLS{Open, Resolve, Connect, ConnectError, Send, Receive, Wait, Close};

}  // namespace

FakeSocketCalls::FakeSocketCalls(bool passThrough)
{
    g_state = FakeSocketState();
    g_state.passThrough = passThrough;
    UseSocketCalls(&FAKE_CALLS);
}

FakeSocketCalls::~FakeSocketCalls() { UseSocketCalls(nullptr); }

FakeSocketState &FakeSocketCalls::State() { return g_state; }
