#include "host/os/signal_watcher.h"

#include "platform/host_window.h"

#include <cstdio>
#include <cstdlib>

// On the watcher's thread (here) or the system's (Windows), never in a
// signal handler.
void SignalWatcher::Deliver(int signal)
{
    const HWND target = m_target.load();
    if (target) {
        m_caught.Raise();
        SendMessageA(target, INTERRUPT_MESSAGE, static_cast<WPARAM>(signal), 0);
        return;
    }
    // No plug-in session is open, so there is nothing to cancel.
    std::fputs("morv-host: interrupted\n", stderr);
    std::fflush(stderr);
    std::_Exit(128 + signal);
}
