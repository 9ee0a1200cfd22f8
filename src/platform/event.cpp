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

CEvent::CEvent() : m_fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    if (m_fd < 0)
        m_creationError = static_cast<DWORD>(errno);
}

CEvent::~CEvent()
{
    if (m_fd >= 0)
        close(m_fd);
}

BOOL CEvent::SetEvent()
{
    const std::uint64_t one = 1;
    return write(m_fd, &one, sizeof one) == sizeof one;
}

BOOL CEvent::ResetEvent()
{
    TryConsume(m_fd);
    return TRUE;
}

BOOL CEvent::Lock(DWORD timeout)
{
    CEvent *self = this;
    return WaitForEvents(&self, 1, timeout) == WAIT_OBJECT_0;
}

bool CEvent::IsSignalled() const
{
    pollfd fd{m_fd, POLLIN, 0};
    return poll(&fd, 1, 0) > 0;
}

DWORD WaitForEvents(CEvent *const *events, DWORD count, DWORD timeout)
{
    std::vector<pollfd> fds(count);
    for (DWORD i = 0; i < count; ++i) {
        if (!events[i]->IsValid()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        fds[i] = pollfd{events[i]->PollHandle(), POLLIN, 0};
    }
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
            // Another waiter may have taken it between poll and read.
            if ((fds[i].revents & POLLIN) && TryConsume(fds[i].fd))
                return WAIT_OBJECT_0 + i;
        }
    }
}

SocketWait WaitForSocketOrEvent(int socket, const CEvent *event, DWORD timeout, bool forWrite)
{
    const short socketEvents = forWrite ? POLLOUT : POLLIN;
    pollfd fds[2] = {{socket, socketEvents, 0}, {event ? event->PollHandle() : -1, POLLIN, 0}};
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
