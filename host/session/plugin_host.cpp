#include "host/session/plugin_host.h"

#include "host/os/signal_watcher.h"
#include "platform/host_window.h"
#include "platform/ticks.h"

#include <algorithm>

namespace {

HostNotification CopyNotification(WPARAM kind, LPARAM payload)
{
    HostNotification notification;
    notification.kind = kind;
    if (kind == MORV_TN_TEXT && payload)
        notification.text = reinterpret_cast<const char *>(payload);
    else if (kind == MORV_TN_STATUS)
        notification.status = static_cast<DWORD>(payload);
    else if (kind == MORV_TN_SENT && payload)
        notification.record = *reinterpret_cast<const CMapStringToString *>(payload);
    return notification;
}

}  // namespace

PluginHost::PluginHost(const EntryPoints &api, Listener listener, SignalWatcher *watcher)
    : PluginHost(api, std::move(listener), watcher, true)
{
    Load();
}

PluginHost::PluginHost(const EntryPoints &api, Listener listener, DeferLoad)
    : PluginHost(api, std::move(listener), nullptr, false)
{
}

PluginHost::PluginHost(const EntryPoints &api, Listener listener, SignalWatcher *watcher, bool session)
    : m_api(api), m_listener(std::move(listener)), m_watcher(watcher), m_session(session)
{
    m_window = CreateHostWindow([this](HWND, UINT message, WPARAM wParam, LPARAM lParam) {
        return Receive(message, wParam, lParam);
    });
    if (m_watcher)
        m_watcher->SetTarget(m_window);
}

PluginHost::~PluginHost()
{
    if (m_session) {
        m_api.OnClose();
        Pump();
    }
    if (m_watcher)
        m_watcher->SetTarget(nullptr);
    DestroyHostWindow(m_window);
}

LRESULT PluginHost::Receive(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == SignalWatcher::INTERRUPT_MESSAGE) {
        ++m_interrupts;
        m_lastSignal = static_cast<int>(wParam);
    } else if (message == HOST_MESSAGE && m_listener) {
        try {
            m_listener(CopyNotification(wParam, lParam));
        } catch (...) {
            // A listener that cannot print must not unwind into the plug-in.
        }
    }
    return 0;
}

int PluginHost::Pump() { return PumpMessages(); }

bool PluginHost::PumpUntil(const std::function<bool()> &done, DWORD timeoutMs, DWORD recheckMs)
{
    const int interruptsBefore = m_interrupts;
    const auto doneOrInterrupted = [&] { return done() || m_interrupts != interruptsBefore; };
    return PumpUntilIgnoringInterrupts(doneOrInterrupted, timeoutMs, recheckMs) && done();
}

bool PluginHost::PumpUntilIgnoringInterrupts(const std::function<bool()> &done, DWORD timeoutMs, DWORD recheckMs)
{
    const CTickBound bound(timeoutMs);
    for (;;) {
        PumpMessages();
        if (done())
            return true;
        const DWORD left = bound.Left();
        if (left == 0)
            return false;
        WaitMessage(std::min(left, recheckMs));
    }
}
