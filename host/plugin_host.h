// PluginHost: one session of a host with a loaded plug-in. It owns the
// notification window on the thread that creates it (the host's main
// thread), calls OnLoad when made and OnClose when destroyed, copies every
// notification and hands it to the listener before the window procedure
// returns, and pumps while the host waits. Host's thread only.
#pragma once

#include "host/notification.h"
#include "host/plugin_module.h"

#include <chrono>
#include <functional>

class SignalWatcher;

class PluginHost {
public:
    using Listener = std::function<void(const HostNotification &)>;
    static constexpr UINT HOST_MESSAGE = 0x8000 + 1;

    // `watcher` may be null; with one, Ctrl-C reaches this host's window.
    PluginHost(const EntryPoints &api, Listener listener, SignalWatcher *watcher = nullptr);
    ~PluginHost();
    PluginHost(const PluginHost &) = delete;
    PluginHost &operator=(const PluginHost &) = delete;

    const EntryPoints &Api() const { return m_api; }
    // Signals (Ctrl-C) that reached the window so far.
    int Interrupts() const { return m_interrupts; }

    // Runs the queued notifications until `done` holds, an interrupt comes
    // in, or `timeout` has passed. True when `done` holds.
    bool PumpUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout);
    // As PumpUntil, but interrupts do not end the wait.
    bool PumpUntilIgnoringInterrupts(const std::function<bool()> &done, std::chrono::milliseconds timeout);

private:
    LRESULT Receive(UINT message, WPARAM wParam, LPARAM lParam);

    EntryPoints m_api;
    Listener m_listener;
    SignalWatcher *m_watcher;
    HWND m_window = nullptr;
    int m_interrupts = 0;
};

// A wait that has no end of its own.
constexpr std::chrono::milliseconds WAIT_FOREVER = std::chrono::milliseconds::max();
