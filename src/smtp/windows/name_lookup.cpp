#include "smtp/name_lookup.h"

#include "platform/library.h"
#include "platform/worker_thread.h"
#include "smtp/system_sockets.h"

#include <memory>
#include <string>

namespace {

// One look-up, shared by the caller and the thread that runs it: a caller
// that stops waiting leaves it to the thread, which only ever writes here.
struct Lookup {
    std::string host;
    std::string service;
    CEvent done;
    int status = WSAHOST_NOT_FOUND;  // written before `done` is set
    SocketAddresses addresses;       // written before `done` is set
};

void TakeAddresses(Lookup &lookup, const addrinfo *info)
{
    for (; info; info = info->ai_next)
        AppendFoundAddress(info->ai_family, info->ai_addr, info->ai_addrlen, lookup.addresses);
}

void Resolve(Lookup &lookup)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *info = nullptr;
    lookup.status = getaddrinfo(lookup.host.c_str(), lookup.service.c_str(), &hints, &info);
    if (lookup.status == 0)
        TakeAddresses(lookup, info);
    if (info)
        freeaddrinfo(info);
    lookup.done.SetEvent();
}

// The look-up thread may return into this library after the host has
// unloaded it; it stays loaded for the thread.
DWORD GiveUp(DWORD error)
{
    KeepLibraryLoaded(reinterpret_cast<const void *>(&LookUpName));
    return error;
}

}  // namespace

// The system's resolver cannot be interrupted, so it runs on a thread of
// its own and the caller waits for it together with the abort.
DWORD LookUpName(const char *host, unsigned short port, const CEvent *abort, DWORD timeout,
                 SocketAddresses &addresses)
{
    addresses.clear();
    auto lookup = std::make_shared<Lookup>();
    lookup->host = host;
    lookup->service = std::to_string(port);
    if (!lookup->done.IsValid())
        return WSAEINVAL;
    const auto thread = CWorkerThread::Start([lookup]() -> DWORD {
        Resolve(*lookup);
        return 0;
    });
    if (!thread)
        return WSAEINVAL;
    const CEvent *watched[] = {&lookup->done, abort};
    const DWORD woken = WatchEvents(watched, abort ? 2 : 1, timeout);
    if (woken == WAIT_OBJECT_0 + 1)
        return GiveUp(WSAEINTR);
    if (woken != WAIT_OBJECT_0)
        return GiveUp(woken == WAIT_TIMEOUT ? WSAETIMEDOUT : GetLastError());
    if (lookup->status != 0 || lookup->addresses.empty())
        return WSAEINVAL;
    addresses = std::move(lookup->addresses);
    return 0;
}
