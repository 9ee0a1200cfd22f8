// CEvent: an auto-reset event, not signalled at construction.
//
// SetEvent signals it; setting a signalled event has no further effect. A
// wait that returns it resets it, so one SetEvent releases one wait.
// WaitForEvents waits on several: it returns the lowest signalled index and
// resets only that one; the others stay signalled for the following waits.
// Every call starts its own time-out. Any thread may set, test or wait.
// The event is the system's own (an eventfd here, an event object on
// Windows), so the socket layer waits on a socket and an event together
// (WaitForSocketOrEvent). Construction never throws: an event that could
// not be made is not valid, and every wait on it fails.
#pragma once

#include "platform/win_types.h"

#include <cstdint>

#if defined(_WIN32)
using EventHandle = HANDLE;
#else
using EventHandle = int;  // the eventfd
#endif

// A socket as the system's socket calls take it: a descriptor, or on
// Windows a SOCKET, which this type holds whole. NO_SOCKET for none.
using SocketHandle = std::intptr_t;
constexpr SocketHandle NO_SOCKET = -1;

class CEvent {
public:
    CEvent();
    ~CEvent();
    CEvent(const CEvent &) = delete;
    CEvent &operator=(const CEvent &) = delete;

    BOOL SetEvent();
    BOOL ResetEvent();
    // Waits up to `timeout` ms; TRUE when the event was signalled (and is
    // now reset), FALSE on time-out.
    BOOL Lock(DWORD timeout = INFINITE);
    // Tests without resetting.
    bool IsSignalled() const;

    EventHandle NativeHandle() const { return m_handle; }
    bool IsValid() const;
    // The system's error when the event could not be made, else 0.
    DWORD CreationError() const { return m_creationError; }

private:
    EventHandle m_handle;
    DWORD m_creationError = 0;
};

// WAIT_OBJECT_0 + index of the lowest signalled event (reset), WAIT_TIMEOUT,
// or WAIT_FAILED with the last error set (ERROR_INVALID_HANDLE for an event
// that is not valid).
DWORD WaitForEvents(CEvent *const *events, DWORD count, DWORD timeout);

// The same wait, but it resets none of them: for a wait that only watches
// events whose state others read as well (an abort request).
DWORD WatchEvents(const CEvent *const *events, DWORD count, DWORD timeout);

// Outcome of waiting on a socket together with an event.
enum class SocketWait { Readable, Signalled, TimedOut, Failed };

// Waits up to `timeout` ms until `socket` is readable (data, end of stream
// or error; writable instead when `forWrite`) or `event` (may be null) is
// signalled; the event is not reset. A signalled event wins over a ready
// socket. Failed sets the last error.
SocketWait WaitForSocketOrEvent(SocketHandle socket, const CEvent *event, DWORD timeout, bool forWrite = false);
