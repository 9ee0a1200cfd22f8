// PluginHost: the host's end of the plug-in's channel. It owns the
// notification window on the thread that creates it (the host's main
// thread), copies every notification and hands it to the listener before
// the window procedure returns, counts the interrupts that reach the
// window, and pumps while the host waits. Made plainly it is a host
// program's session: OnLoad when made, OnClose when destroyed. Made with
// DEFER_LOAD (tests), the caller loads and closes the plug-in itself.
// Host's thread only.
#pragma once

#include "host/session/plugin_module.h"
#include "host/text/notification.h"

#include <functional>

class SignalWatcher;

class PluginHost {
public:
    using Listener = std::function<void(const HostNotification &)>;
    static constexpr UINT HOST_MESSAGE = 0x8000 + 1;
    struct DeferLoad {
        explicit DeferLoad() = default;
    };
    static constexpr DeferLoad DEFER_LOAD{};

    // `watcher` may be null; with one, Ctrl-C reaches this host's window.
    PluginHost(const EntryPoints &api, Listener listener, SignalWatcher *watcher = nullptr);
    PluginHost(const EntryPoints &api, Listener listener, DeferLoad);
    ~PluginHost();
    PluginHost(const PluginHost &) = delete;
    PluginHost &operator=(const PluginHost &) = delete;

    const EntryPoints &Api() const { return m_api; }
    HWND Window() const { return m_window; }
    // Signals (Ctrl-C) that reached the window so far, and the latest one
    // (0 while none came).
    int Interrupts() const { return m_interrupts; }
    int LastSignal() const { return m_lastSignal; }

    // OnLoad with this host's window and message.
    void Load() { m_api.OnLoad(m_window, HOST_MESSAGE); }
    // Runs the queued notifications; how many ran.
    int Pump();
    // Runs the queued notifications until `done` holds, an interrupt comes
    // in, or `timeoutMs` has passed (INFINITE: no bound). True when `done`
    // holds. A `recheckMs` below INFINITE also tests `done` that often when
    // no notification comes, for conditions that change without one.
    bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs, DWORD recheckMs = INFINITE);
    // As PumpUntil, but interrupts do not end the wait.
    bool PumpUntilIgnoringInterrupts(const std::function<bool()> &done, DWORD timeoutMs,
                                     DWORD recheckMs = INFINITE);

private:
    PluginHost(const EntryPoints &api, Listener listener, SignalWatcher *watcher, bool session);
    LRESULT Receive(UINT message, WPARAM wParam, LPARAM lParam);

    EntryPoints m_api;
    Listener m_listener;
    SignalWatcher *m_watcher;
    bool m_session;
    HWND m_window = nullptr;
    int m_interrupts = 0;
    int m_lastSignal = 0;
};
