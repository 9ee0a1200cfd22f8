#include "support/test_host.h"

#include "platform/host_window.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

TestHost::TestHost(PluginApi api) : m_api(api)
{
    m_window = CreateHostWindow([this](HWND, UINT message, WPARAM kind, LPARAM payload) -> LRESULT {
        return message == HOST_MESSAGE ? Receive(kind, payload) : 0;
    });
}

TestHost::~TestHost() { DestroyHostWindow(m_window); }

void TestHost::Load() { m_api.OnLoad(m_window, HOST_MESSAGE); }

void TestHost::LoadQuietly()
{
    Load();
    Pump();
    ClearNotifications();
}

LRESULT TestHost::Receive(WPARAM kind, LPARAM payload)
{
    Notification notification;
    notification.kind = kind;
    if (kind == MORV_TN_TEXT)
        notification.text = reinterpret_cast<const char *>(payload);
    else if (kind == MORV_TN_STATUS)
        notification.status = static_cast<DWORD>(payload);
    else if (kind == MORV_TN_SENT)
        notification.record = *reinterpret_cast<const CMapStringToString *>(payload);
    m_notifications.push_back(notification);
    if (m_hook)
        m_hook(m_notifications.back());
    return 0;
}

std::vector<std::string> TestHost::Texts() const
{
    std::vector<std::string> texts;
    for (const Notification &notification : m_notifications)
        if (notification.kind == MORV_TN_TEXT)
            texts.push_back(notification.text);
    return texts;
}

std::vector<DWORD> TestHost::Statuses() const
{
    std::vector<DWORD> statuses;
    for (const Notification &notification : m_notifications)
        if (notification.kind == MORV_TN_STATUS)
            statuses.push_back(notification.status);
    return statuses;
}

std::vector<CMapStringToString> TestHost::SentRecords() const
{
    std::vector<CMapStringToString> records;
    for (const Notification &notification : m_notifications)
        if (notification.kind == MORV_TN_SENT)
            records.push_back(notification.record);
    return records;
}

std::vector<std::string> TestHost::Transcript() const
{
    std::vector<std::string> lines;
    for (const Notification &notification : m_notifications) {
        if (notification.kind == MORV_TN_TEXT) {
            lines.push_back("text " + notification.text);
        } else if (notification.kind == MORV_TN_STATUS) {
            char word[16];
            std::snprintf(word, sizeof word, "0x%02X", static_cast<unsigned>(notification.status));
            lines.push_back(std::string("status ") + word);
        } else {
            CString body;
            notification.record.Lookup("Body", body);
            lines.push_back("sent " + body.str());
        }
    }
    return lines;
}

int TestHost::Pump() { return PumpMessages(); }

bool TestHost::PumpUntil(const std::function<bool()> &condition, DWORD timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        PumpMessages();
        if (condition())
            return true;
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::milliseconds(0))
            return false;
        // Wakes as soon as a notification is queued; the cap only bounds how
        // long a condition that changes without a notification goes unseen.
        const auto step = std::min<std::chrono::steady_clock::duration>(left, std::chrono::milliseconds(10));
        WaitMessage(static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(step).count()) + 1);
    }
}

bool TestHost::WaitForText(const std::string &text, DWORD timeoutMs)
{
    return PumpUntil([&] {
        const auto texts = Texts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }, timeoutMs);
}

bool TestHost::WaitForCount(std::size_t count, DWORD timeoutMs)
{
    return PumpUntil([&] { return m_notifications.size() >= count; }, timeoutMs);
}

CMapStringToString MakeMap(std::initializer_list<std::pair<const char *, const char *>> pairs)
{
    CMapStringToString map;
    for (const auto &[key, value] : pairs)
        map.SetAt(key, value);
    return map;
}
