// TestHost: a host for tests. It owns a host window on the test's thread,
// records every notification the plug-in sends to it (kind, text bytes,
// status word, a copy of the delivered record), and pumps while a test
// waits for a condition. Use it on the thread that created it.
#pragma once

#include "platform/map_string_to_string.h"
#include "platform/win_types.h"
#include "support/plugin_api.h"

#include <functional>
#include <string>
#include <vector>

struct Notification {
    WPARAM kind = 0;
    std::string text;           // TN_TEXT: the bytes up to the NUL
    DWORD status = 0;           // TN_STATUS
    CMapStringToString record;  // TN_SENT: a copy
};

class TestHost {
public:
    static constexpr UINT HOST_MESSAGE = 0x0400 + 77;
    static constexpr DWORD DEFAULT_WAIT_MS = 20000;

    explicit TestHost(PluginApi api);
    ~TestHost();
    TestHost(const TestHost &) = delete;
    TestHost &operator=(const TestHost &) = delete;

    const PluginApi &Api() const { return m_api; }
    HWND Window() const { return m_window; }

    // OnLoad with this host's window and message.
    void Load();
    // Load, then forget what OnLoad reported ("Ready"), for tests that look
    // only at what comes after.
    void LoadQuietly();

    const std::vector<Notification> &Notifications() const { return m_notifications; }
    std::vector<std::string> Texts() const;
    std::vector<DWORD> Statuses() const;
    std::vector<CMapStringToString> SentRecords() const;
    // Every notification as one line, in order: "text <bytes>",
    // "status 0x0D", "sent <the record's Body>".
    std::vector<std::string> Transcript() const;
    void ClearNotifications() { m_notifications.clear(); }
    // Called on the host's thread after each recorded notification.
    void OnNotification(std::function<void(const Notification &)> hook) { m_hook = std::move(hook); }

    // Pumps until `condition` holds; false when `timeoutMs` passed first.
    bool PumpUntil(const std::function<bool()> &condition, DWORD timeoutMs = DEFAULT_WAIT_MS);
    // Pumps until a text notification equal to `text` has arrived.
    bool WaitForText(const std::string &text, DWORD timeoutMs = DEFAULT_WAIT_MS);
    // Pumps until at least `count` notifications have arrived.
    bool WaitForCount(std::size_t count, DWORD timeoutMs = DEFAULT_WAIT_MS);
    int Pump();

private:
    LRESULT Receive(WPARAM kind, LPARAM payload);

    PluginApi m_api;
    HWND m_window = nullptr;
    std::vector<Notification> m_notifications;
    std::function<void(const Notification &)> m_hook;
};

// A message map holding the given pairs.
CMapStringToString MakeMap(std::initializer_list<std::pair<const char *, const char *>> pairs);
