#include "platform/event.h"

#include "platform/last_error.h"
#include "platform/ticks.h"

#include <sys/eventfd.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <vector>

namespace {

bool TryConsume(int fd)
{
    std::uint64_t count = 0;
    return read(fd, &count, sizeof count) == sizeof count;
}

// poll() with a time-out that survives EINTR by recomputing what is left.
int PollFor(pollfd *fds, nfds_t count, DWORD timeout)
{
    const CTickBound bound(timeout);
    for (;;) {
        const DWORD left = bound.Left();
        const int ready = poll(fds, count, left == INFINITE ? -1 : static_cast<int>(left));
        if (ready >= 0 || errno != EINTR)
            return ready;
    }
}

}  // namespace

CEvent::CEvent() : m_handle(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    if (m_handle < 0)
        m_creationError = static_cast<DWORD>(errno);
}

CEvent::~CEvent()
{
    if (m_handle >= 0)
        close(m_handle);
}

bool CEvent::IsValid() const { return m_handle >= 0; }

BOOL CEvent::SetEvent()
{
    const std::uint64_t one = 1;
    return write(m_handle, &one, sizeof one) == sizeof one;
}

BOOL CEvent::ResetEvent()
{
    TryConsume(m_handle);
    return TRUE;
}

BOOL CEvent::Lock(DWORD timeout)
{
    CEvent *self = this;
    return WaitForEvents(&self, 1, timeout) == WAIT_OBJECT_0;
}

bool CEvent::IsSignalled() const
{
    pollfd fd{m_handle, POLLIN, 0};
    return poll(&fd, 1, 0) > 0;
}

namespace {

// The events' descriptors to poll; false (last error set) when one of them
// is not valid.
bool PollSetOf(const CEvent *const *events, DWORD count, std::vector<pollfd> &fds)
{
    fds.resize(count);
    for (DWORD i = 0; i < count; ++i) {
        if (!events[i]->IsValid()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return false;
        }
        fds[i] = pollfd{events[i]->NativeHandle(), POLLIN, 0};
    }
    return true;
}

// Polls until one event is signalled and `take` accepts it (takes it).
template <typename Take>
DWORD WaitForFirst(const CEvent *const *events, DWORD count, DWORD timeout, Take take)
{
    std::vector<pollfd> fds;
    if (!PollSetOf(events, count, fds))
        return WAIT_FAILED;
    const CTickBound bound(timeout);
    for (;;) {
        const int ready = PollFor(fds.data(), fds.size(), bound.Left());
        if (ready < 0) {
            SetLastError(static_cast<DWORD>(errno));
            return WAIT_FAILED;
        }
        if (ready == 0)
            return WAIT_TIMEOUT;
        for (DWORD i = 0; i < count; ++i) {
            if ((fds[i].revents & POLLIN) && take(fds[i].fd))
                return WAIT_OBJECT_0 + i;
        }
    }
}

}  // namespace

DWORD WaitForEvents(CEvent *const *events, DWORD count, DWORD timeout)
{
    // Another waiter may have taken it between poll and read.
    return WaitForFirst(events, count, timeout, TryConsume);
}

DWORD WatchEvents(const CEvent *const *events, DWORD count, DWORD timeout)
{
    return WaitForFirst(events, count, timeout, [](int) { return true; });
}

SocketWait WaitForSocketOrEvent(SocketHandle socket, const CEvent *event, DWORD timeout, bool forWrite)
{
    const short socketEvents = forWrite ? POLLOUT : POLLIN;
    pollfd fds[2] = {{static_cast<int>(socket), socketEvents, 0}, {event ? event->NativeHandle() : -1, POLLIN, 0}};
    const int ready = PollFor(fds, event ? 2 : 1, timeout);
    if (ready < 0) {
        SetLastError(static_cast<DWORD>(errno));
        return SocketWait::Failed;
    }
    if (ready == 0)
        return SocketWait::TimedOut;
    if (event && (fds[1].revents & POLLIN))
        return SocketWait::Signalled;
    return SocketWait::Readable;
}
