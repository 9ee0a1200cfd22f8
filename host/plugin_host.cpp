#include "host/plugin_host.h"

#include "host/signal_watcher.h"
#include "platform/host_window.h"

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

DWORD MillisecondsLeft(std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<DWORD>(std::clamp<long long>(left.count() + 1, 0, INFINITE - 1));
}

std::chrono::steady_clock::time_point DeadlineAfter(std::chrono::milliseconds timeout)
{
    const auto now = std::chrono::steady_clock::now();
    if (timeout >= std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::time_point::max() - now))
        return std::chrono::steady_clock::time_point::max();
    return now + timeout;
}

}  // namespace

PluginHost::PluginHost(const EntryPoints &api, Listener listener, SignalWatcher *watcher)
    : m_api(api), m_listener(std::move(listener)), m_watcher(watcher)
{
    m_window = CreateHostWindow([this](HWND, UINT message, WPARAM wParam, LPARAM lParam) {
        return Receive(message, wParam, lParam);
    });
    if (m_watcher)
        m_watcher->SetTarget(m_window);
    m_api.OnLoad(m_window, HOST_MESSAGE);
}

PluginHost::~PluginHost()
{
    m_api.OnClose();
    if (m_watcher)
        m_watcher->SetTarget(nullptr);
    PumpMessages();
    DestroyHostWindow(m_window);
}

LRESULT PluginHost::Receive(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == SignalWatcher::INTERRUPT_MESSAGE) {
        ++m_interrupts;
    } else if (message == HOST_MESSAGE && m_listener) {
        try {
            m_listener(CopyNotification(wParam, lParam));
        } catch (...) {
            // A listener that cannot print must not unwind into the plug-in.
        }
    }
    return 0;
}

bool PluginHost::PumpUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout)
{
    const int interruptsBefore = m_interrupts;
    return PumpUntilIgnoringInterrupts([&] { return done() || m_interrupts != interruptsBefore; }, timeout) &&
           done();
}

bool PluginHost::PumpUntilIgnoringInterrupts(const std::function<bool()> &done, std::chrono::milliseconds timeout)
{
    const auto deadline = DeadlineAfter(timeout);
    for (;;) {
        PumpMessages();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        WaitMessage(deadline == std::chrono::steady_clock::time_point::max() ? INFINITE : MillisecondsLeft(deadline));
    }
}
