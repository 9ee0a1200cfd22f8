#include "fake_socket_calls.h"

#include "platform/last_error.h"
#include "smtp/send_pieces.h"
#include "smtp/system_sockets.h"

#include <algorithm>
#include <cerrno>

namespace {

FakeSocketState g_state;

const SocketCalls &Real() { return SystemSocketCalls(); }

SocketHandle Open(int family) { return g_state.passThrough ? Real().open(family) : 42; }

DWORD Resolve(const char *, unsigned short, const CEvent *, DWORD, SocketAddresses &addresses)
{
    ++g_state.resolveCalls;
    addresses = g_state.resolved;
    return addresses.empty() ? WSAEINVAL : 0;
}

int Connect(SocketHandle socket, const void *address, unsigned length)
{
    ++g_state.connectCalls;
    if (g_state.passThrough)
        return Real().connect(socket, address, length);
    errno = SOCKET_IN_PROGRESS;
    return -1;
}

int ConnectError(SocketHandle socket) { return g_state.passThrough ? Real().connectError(socket) : g_state.connectError; }

// How many of `length` bytes the next call of `plan` lets through; -1 with
// errno set when it fails the call instead.
long Allowed(std::deque<long> &plan, std::size_t length)
{
    if (g_state.reset) {
        errno = SOCKET_CONNECTION_RESET;
        return -1;
    }
    if (plan.empty())
        return static_cast<long>(length);
    const long allowed = plan.front();
    plan.pop_front();
    if (allowed >= 0)
        return std::min(allowed, static_cast<long>(length));
    errno = static_cast<int>(-allowed);
    g_state.reset = errno == SOCKET_CONNECTION_RESET;
    return -1;
}

long Send(SocketHandle socket, std::span<const std::string_view> pieces)
{
    ++g_state.sendCalls;
    const long allowed = Allowed(g_state.sendPlan, TotalSize(pieces));
    if (allowed < 0)
        return -1;
    std::string bytes;
    AppendFront(pieces, static_cast<std::size_t>(allowed), bytes);
    const std::string_view taken(bytes);
    const long sent = g_state.passThrough ? Real().send(socket, std::span(&taken, 1)) : allowed;
    if (sent > 0) {
        g_state.written.append(bytes, 0, static_cast<std::size_t>(sent));
        g_state.writes.push_back(bytes.substr(0, static_cast<std::size_t>(sent)));
    }
    return sent;
}

// A receive that would find nothing yet leaves the plan alone, so that its
// steps fall on the receives that find data.
long Receive(SocketHandle socket, void *buffer, std::size_t capacity)
{
    if (g_state.passThrough && !g_state.reset && Real().wait(socket, nullptr, 0, false) == SocketWait::TimedOut) {
        errno = SOCKET_WOULD_BLOCK;
        return -1;
    }
    if (g_state.passThrough) {
        const long allowed = Allowed(g_state.receivePlan, capacity);
        return allowed < 0 ? -1 : Real().receive(socket, buffer, static_cast<std::size_t>(allowed));
    }
    errno = SOCKET_WOULD_BLOCK;
    return -1;
}

SocketWait Wait(SocketHandle socket, const CEvent *abort, DWORD timeout, bool forWrite)
{
    ++g_state.waitCalls;
    g_state.waitTimeouts.push_back(timeout);
    if (g_state.reset)
        return SocketWait::Readable;
    if (g_state.passThrough)
        return Real().wait(socket, abort, timeout, forWrite);
    if (abort && abort->IsSignalled())
        return SocketWait::Signalled;
    if (g_state.waitPlan.empty())
        return g_state.waitResult;
    const SocketWait planned = g_state.waitPlan.front();
    g_state.waitPlan.pop_front();
    return planned;
}

int Close(SocketHandle socket) { return g_state.passThrough ? Real().close(socket) : 0; }

bool LocalAddress(SocketHandle socket, SocketAddress &address)
{
    return g_state.passThrough && Real().localAddress(socket, address);
}

int HostName(char *name, std::size_t length)
{
    if (g_state.hostName.empty())
        return Real().hostName(name, length);
    name[g_state.hostName.copy(name, length - 1)] = '\0';
    return 0;
}

constexpr SocketCalls FAKE_CALLS{Open, Resolve, Connect, ConnectError, Send, Receive, Wait, Close, LocalAddress,
                                 HostName};

}  // namespace

FakeSocketCalls::FakeSocketCalls(bool passThrough)
{
    g_state = FakeSocketState();
    g_state.passThrough = passThrough;
    UseSocketCalls(&FAKE_CALLS);
}

FakeSocketCalls::~FakeSocketCalls() { UseSocketCalls(nullptr); }

FakeSocketState &FakeSocketCalls::State() { return g_state; }
