#include "platform/event.h"

#include <vector>

namespace {

std::vector<HANDLE> HandlesOf(const CEvent *const *events, DWORD count)
{
    std::vector<HANDLE> handles(count);
    for (DWORD i = 0; i < count; ++i)
        handles[i] = events[i]->NativeHandle();
    return handles;
}

// A wait on an event object takes an auto-reset event's signal; one that
// should only have looked puts it back.
void Restore(const CEvent &event) { ::SetEvent(event.NativeHandle()); }

// The socket is ready now: readable, or writable or failed for a wait to
// write (a connect that failed is ready too, its error pending).
bool ReadyNow(SocketHandle socket, bool forWrite)
{
    const auto native = static_cast<SOCKET>(socket);
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(native, &ready);
    FD_SET(native, &failed);
    timeval now{0, 0};
    return select(0, forWrite ? nullptr : &ready, forWrite ? &ready : nullptr, &failed, &now) > 0;
}

// A network event object tied to a socket for one wait; the tie is undone
// when it goes.
class SocketEvent {
public:
    SocketEvent(SocketHandle socket, bool forWrite) : m_socket(static_cast<SOCKET>(socket)), m_event(WSACreateEvent())
    {
        const long events = forWrite ? FD_WRITE | FD_CONNECT | FD_CLOSE : FD_READ | FD_ACCEPT | FD_CLOSE;
        m_tied = m_event != WSA_INVALID_EVENT && WSAEventSelect(m_socket, m_event, events) == 0;
    }
    ~SocketEvent()
    {
        if (m_tied)
            WSAEventSelect(m_socket, nullptr, 0);
        if (m_event != WSA_INVALID_EVENT)
            WSACloseEvent(m_event);
    }
    SocketEvent(const SocketEvent &) = delete;
    SocketEvent &operator=(const SocketEvent &) = delete;

    bool Tied() const { return m_tied; }
    HANDLE Handle() const { return m_event; }

private:
    SOCKET m_socket;
    WSAEVENT m_event;
    bool m_tied = false;
};

}  // namespace

CEvent::CEvent() : m_handle(CreateEventA(nullptr, FALSE, FALSE, nullptr))
{
    if (!m_handle)
        m_creationError = ::GetLastError();
}

CEvent::~CEvent()
{
    if (m_handle)
        CloseHandle(m_handle);
}

bool CEvent::IsValid() const { return m_handle != nullptr; }

BOOL CEvent::SetEvent() { return ::SetEvent(m_handle); }

BOOL CEvent::ResetEvent() { return ::ResetEvent(m_handle); }

BOOL CEvent::Lock(DWORD timeout) { return WaitForSingleObject(m_handle, timeout) == WAIT_OBJECT_0; }

bool CEvent::IsSignalled() const
{
    if (WaitForSingleObject(m_handle, 0) != WAIT_OBJECT_0)
        return false;
    Restore(*this);
    return true;
}

DWORD WaitForEvents(CEvent *const *events, DWORD count, DWORD timeout)
{
    const std::vector<HANDLE> handles = HandlesOf(events, count);
    return WaitForMultipleObjects(count, handles.data(), FALSE, timeout);
}

DWORD WatchEvents(const CEvent *const *events, DWORD count, DWORD timeout)
{
    const std::vector<HANDLE> handles = HandlesOf(events, count);
    const DWORD result = WaitForMultipleObjects(count, handles.data(), FALSE, timeout);
    if (result < WAIT_OBJECT_0 + count)
        Restore(*events[result - WAIT_OBJECT_0]);
    return result;
}

// The network event is tied before the look at the socket's state, so that
// a change between the two still wakes the wait.
SocketWait WaitForSocketOrEvent(SocketHandle socket, const CEvent *event, DWORD timeout, bool forWrite)
{
    if (event && event->IsSignalled())
        return SocketWait::Signalled;
    const SocketEvent network(socket, forWrite);
    if (!network.Tied()) {
        SetLastError(static_cast<DWORD>(WSAGetLastError()));
        return SocketWait::Failed;
    }
    if (ReadyNow(socket, forWrite))
        return SocketWait::Readable;
    const HANDLE handles[2] = {event ? event->NativeHandle() : nullptr, network.Handle()};
    const DWORD first = event ? 0 : 1;
    const DWORD result = WaitForMultipleObjects(2 - first, handles + first, FALSE, timeout);
    if (result == WAIT_TIMEOUT)
        return SocketWait::TimedOut;
    if (result == WAIT_FAILED)
        return SocketWait::Failed;
    if (event && result == WAIT_OBJECT_0) {
        Restore(*event);
        return SocketWait::Signalled;
    }
    return SocketWait::Readable;
}
