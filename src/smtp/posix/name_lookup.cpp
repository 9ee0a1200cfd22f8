#include "smtp/name_lookup.h"

#include "platform/last_error.h"
#include "platform/ticks.h"

#include <ares.h>
#include <poll.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

// One look-up's outcome, written by c-ares' callback on this thread.
struct LookupResult {
    bool done = false;
    int status = ARES_ENOTFOUND;
    SocketAddresses addresses;
};

struct ChannelDeleter {
    void operator()(ares_channeldata *channel) const { ares_destroy(channel); }
};
using Channel = std::unique_ptr<ares_channeldata, ChannelDeleter>;

void InitLibraryOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { ares_library_init(ARES_LIB_INIT_ALL); });
}

void TakeAddresses(LookupResult &result, const ares_addrinfo *info)
{
    for (const ares_addrinfo_node *node = info ? info->nodes : nullptr; node; node = node->ai_next)
        AppendFoundAddress(node->ai_family, node->ai_addr, node->ai_addrlen, result.addresses);
}

void OnAnswer(void *argument, int status, int, ares_addrinfo *info)
{
    auto &result = *static_cast<LookupResult *>(argument);
    result.done = true;
    result.status = status;
    if (status == ARES_SUCCESS)
        TakeAddresses(result, info);
    if (info)
        ares_freeaddrinfo(info);
}

// A channel on the system's name servers or those the environment names;
// null when c-ares cannot make one.
Channel OpenChannel()
{
    InitLibraryOnce();
    ares_channel made = nullptr;
    if (ares_init(&made) != ARES_SUCCESS)
        return nullptr;
    Channel channel(made);
    const char *servers = std::getenv(DNS_SERVERS_VARIABLE);
    if (servers && *servers && ares_set_servers_ports_csv(channel.get(), servers) != ARES_SUCCESS)
        return nullptr;
    return channel;
}

// The resolver's sockets, then the abort event's, as poll() takes them.
std::vector<pollfd> PollSet(ares_channel channel, const CEvent *abort)
{
    ares_socket_t sockets[ARES_GETSOCK_MAXNUM];
    const int bits = ares_getsock(channel, sockets, ARES_GETSOCK_MAXNUM);
    std::vector<pollfd> fds;
    for (int i = 0; i < ARES_GETSOCK_MAXNUM; ++i) {
        short events = 0;
        if (ARES_GETSOCK_READABLE(bits, i))
            events |= POLLIN;
        if (ARES_GETSOCK_WRITABLE(bits, i))
            events |= POLLOUT;
        if (events)
            fds.push_back(pollfd{sockets[i], events, 0});
    }
    if (abort)
        fds.push_back(pollfd{abort->NativeHandle(), POLLIN, 0});
    return fds;
}

// How long the next poll may wait: the resolver's own next time-out, but
// never past what is left of the bound.
int PollTimeout(ares_channel channel, DWORD left)
{
    timeval bound{static_cast<time_t>(left / 1000), static_cast<suseconds_t>(left % 1000 * 1000)};
    timeval next{};
    const timeval *wait = ares_timeout(channel, &bound, &next);
    return static_cast<int>(wait->tv_sec * 1000 + (wait->tv_usec + 999) / 1000);
}

void ProcessReady(ares_channel channel, const std::vector<pollfd> &fds, bool withAbort)
{
    const std::size_t resolverSockets = fds.size() - (withAbort ? 1 : 0);
    bool any = false;
    for (std::size_t i = 0; i < resolverSockets; ++i) {
        const pollfd &fd = fds[i];
        if (!fd.revents)
            continue;
        any = true;
        const bool readable = fd.revents & (POLLIN | POLLERR | POLLHUP);
        ares_process_fd(channel, readable ? fd.fd : ARES_SOCKET_BAD,
                        fd.revents & POLLOUT ? fd.fd : ARES_SOCKET_BAD);
    }
    // Nothing ready: the resolver's own time-outs and retries are due.
    if (!any)
        ares_process_fd(channel, ARES_SOCKET_BAD, ARES_SOCKET_BAD);
}

DWORD OutcomeOf(const LookupResult &result)
{
    return result.status == ARES_SUCCESS && !result.addresses.empty() ? 0 : WSAEINVAL;
}

// Runs the channel's queries until the answer, the bound or the abort.
DWORD Wait(ares_channel channel, const LookupResult &result, const CEvent *abort, DWORD timeout)
{
    const CTickBound bound(timeout);
    while (!result.done) {
        const DWORD left = bound.Left();
        if (left == 0)
            return WSAETIMEDOUT;
        std::vector<pollfd> fds = PollSet(channel, abort);
        const int ready = poll(fds.data(), fds.size(), PollTimeout(channel, left));
        if (ready < 0 && errno != EINTR)
            return static_cast<DWORD>(errno);
        if (abort && (fds.back().revents & POLLIN))
            return WSAEINTR;
        if (ready >= 0)
            ProcessReady(channel, fds, abort != nullptr);
    }
    return OutcomeOf(result);
}

}  // namespace

DWORD LookUpName(const char *host, unsigned short port, const CEvent *abort, DWORD timeout,
                 SocketAddresses &addresses)
{
    addresses.clear();
    Channel channel = OpenChannel();
    if (!channel)
        return WSAEINVAL;
    LookupResult result;
    ares_addrinfo_hints hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    const std::string service = std::to_string(port);
    ares_getaddrinfo(channel.get(), host, service.c_str(), &hints, OnAnswer, &result);
    const DWORD outcome = Wait(channel.get(), result, abort, timeout);
    // Destroying the channel ends an unanswered query: its callback runs
    // now, while `result` still lives.
    channel.reset();
    if (outcome == 0)
        addresses = std::move(result.addresses);
    return outcome;
}
