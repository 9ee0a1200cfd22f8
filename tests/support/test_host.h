// TestHost: the host's PluginHost as tests drive it: the plug-in loaded
// when the test says (Load) and closed by the test itself, every
// notification recorded in order (kind, text bytes, status word, a copy of
// the delivered record), and waits that pump with a default bound. Use it
// on the thread that created it.
#pragma once

#include "host/session/plugin_host.h"
#include "support/plugin_api.h"

#include <functional>
#include <string>
#include <vector>

class TestHost {
public:
    static constexpr UINT HOST_MESSAGE = PluginHost::HOST_MESSAGE;
    static constexpr DWORD DEFAULT_WAIT_MS = 20000;

    explicit TestHost(const PluginApi &api);

    const PluginApi &Api() const { return m_host.Api(); }
    HWND Window() const { return m_host.Window(); }

    // OnLoad with this host's window and message.
    void Load() { m_host.Load(); }
    // Load, then forget what OnLoad reported ("Ready"), for tests that look
    // only at what comes after.
    void LoadQuietly();

    const std::vector<HostNotification> &Notifications() const { return m_notifications; }
    std::vector<std::string> Texts() const;
    std::vector<DWORD> Statuses() const;
    std::vector<CMapStringToString> SentRecords() const;
    // Every notification as one line, in order: "text <bytes>",
    // "status 0x0D", "sent <the record's Body>".
    std::vector<std::string> Transcript() const;
    void ClearNotifications() { m_notifications.clear(); }
    // Called on the host's thread after each recorded notification.
    void OnNotification(std::function<void(const HostNotification &)> hook) { m_hook = std::move(hook); }

    // Pumps until `condition` holds; false when `timeoutMs` passed first.
    bool PumpUntil(const std::function<bool()> &condition, DWORD timeoutMs = DEFAULT_WAIT_MS);
    // Pumps until a text notification equal to `text` has arrived.
    bool WaitForText(const std::string &text, DWORD timeoutMs = DEFAULT_WAIT_MS);
    // Pumps until at least `count` notifications have arrived.
    bool WaitForCount(std::size_t count, DWORD timeoutMs = DEFAULT_WAIT_MS);
    int Pump() { return m_host.Pump(); }

private:
    void Record(const HostNotification &notification);

    std::vector<HostNotification> m_notifications;
    std::function<void(const HostNotification &)> m_hook;
    PluginHost m_host;  // last, so its window goes before what it records into
};

// A message map holding the given pairs.
CMapStringToString MakeMap(std::initializer_list<std::pair<const char *, const char *>> pairs);
// Opens `game` from a stored section of `settings` (OnRestore with this
// plug-in's tag and version), as a host restores a project.
void RestoreGame(const PluginApi &api, const char *game, CMapStringToString settings);
