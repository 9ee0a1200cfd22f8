#include "host/os/signal_watcher.h"

#include <windows.h>

#include <csignal>
#include <functional>
#include <mutex>

namespace {

// The one watcher's delivery; the console calls its handler on a thread of
// its own.
std::mutex g_deliveryMutex;
std::function<void(int)> g_deliver;

BOOL WINAPI OnConsoleControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    std::function<void(int)> deliver;
    {
        const std::lock_guard lock(g_deliveryMutex);
        deliver = g_deliver;
    }
    // Not under the lock: the delivery waits for the host's thread.
    if (deliver)
        deliver(event == CTRL_CLOSE_EVENT ? SIGTERM : SIGINT);
    return TRUE;
}

}  // namespace

// The console's control handler, from construction to destruction.
struct SignalWatcher::Listener {
    explicit Listener(std::function<void(int)> deliver)
    {
        {
            const std::lock_guard lock(g_deliveryMutex);
            g_deliver = std::move(deliver);
        }
        SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    }

    ~Listener()
    {
        SetConsoleCtrlHandler(OnConsoleControl, FALSE);
        const std::lock_guard lock(g_deliveryMutex);
        g_deliver = nullptr;
    }
};

SignalWatcher::SignalWatcher() : m_listener(std::make_unique<Listener>([this](int signal) { Deliver(signal); })) {}

SignalWatcher::~SignalWatcher() = default;
