// SignalWatcher: turns Ctrl-C (SIGINT here, the console's control handler
// on Windows), SIGTERM and SIGHUP (the terminal closed) into a message to
// the host's window, so the host's thread learns of them while it pumps and
// cancels as for Ctrl-C. Create it on the main thread before any other
// thread starts: here it blocks the three signals there, and every thread
// started later inherits the mask; its own thread reads them from a
// signalfd. On Windows the system calls the handler on a thread of its own.
#pragma once

#include "host/os/poll_flag.h"
#include "platform/win_types.h"

#include <atomic>
#include <memory>

class SignalWatcher {
public:
    // The window message a caught signal arrives as; wParam is the signal.
    static constexpr UINT INTERRUPT_MESSAGE = 0x8000 + 2;

    SignalWatcher();
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher &) = delete;
    SignalWatcher &operator=(const SignalWatcher &) = delete;

    // The window that receives INTERRUPT_MESSAGE. While there is none, no
    // plug-in session is open and a signal ends the program at once with
    // 128 + the signal number.
    void SetTarget(HWND window) { m_target.store(window); }
    // Raised when the first signal is caught, before it is sent to the
    // target: a host's thread that waits in poll() rather than pumping
    // (the configuration page on a terminal) learns that it must pump.
    const PollFlag &Caught() const { return m_caught; }

private:
    struct Listener;  // the system's side
    void Deliver(int signal);

    std::atomic<HWND> m_target{nullptr};
    PollFlag m_caught;
    std::unique_ptr<Listener> m_listener;
};
