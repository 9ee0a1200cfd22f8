// Host windows and SendMessageA.
//
// A host window is a handle with a window procedure, owned by the thread
// that created it. SendMessageA from the owner thread calls the procedure
// directly; from any other thread it queues the message and blocks until
// the owner thread has run the procedure for it (or destroyed the window).
// The owner thread runs queued messages when it pumps (PumpMessages).
// Anything that waits on the owner's thread for another thread should pump
// while it waits (CWorkerThread::WaitPumping), or a sender blocked in
// SendMessageA could never finish. On Windows these are real windows and
// SendMessageA, IsWindow are the system's.
#pragma once

#include "platform/win_types.h"

#include <functional>
#include <span>

using WindowProcedure = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

// Creates a top-level, visible window owned by the calling thread; it
// accepts child windows (user_interface.h). On Windows it starts hidden, as
// a real window a host has not shown yet; it takes messages all the same.
HWND CreateHostWindow(WindowProcedure procedure);
// Destroys a window with its child windows (DestroyWindow); messages still
// queued for them are dropped (their senders return 0). Only the owner
// thread may destroy it.
void DestroyHostWindow(HWND window);

#if !defined(_WIN32)
bool IsWindow(HWND window);

// The procedure's result, or 0 when `window` is no live window.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
#endif

// The parameters of one message of a series. When `handOver` is set, the
// message's lParam is what it returns, asked for at the moment the message
// is handed over (a status word that changes as its notification goes
// out); it may run on any thread and must not throw.
struct MessageParameters {
    WPARAM wParam;
    LPARAM lParam;
    std::function<LPARAM()> handOver{};
};

// Sends `message` with each of `series` in order, the results dropped,
// exactly as that many SendMessageA calls one after the other would: each
// is handed over (its lParam taken) only when the one before has returned,
// so a procedure that pumps while it handles one runs none of the later
// ones, and messages other threads sent meanwhile run before the next.
// From another thread than the owner's, the owner hands over the next
// itself as the one before returns, so the caller sleeps once for the
// series. The call returns when each has run or was dropped with the
// window; the lParam of a dropped message is still taken, in order.
void SendMessageSeries(HWND window, UINT message, std::span<const MessageParameters> series);

// Runs every message queued for windows of the calling thread; returns how
// many sent from other threads ran (on Windows, of the host's own: WM_USER
// and above). Messages that arrive while it runs are run too.
int PumpMessages();
// Blocks until a message is queued for the calling thread or `timeout` ms
// have passed; TRUE when one is queued.
BOOL WaitMessage(DWORD timeout);
