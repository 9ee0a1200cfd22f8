#include "support/test_host.h"

#include <algorithm>
#include <cstdio>

namespace {

// Conditions a test waits for may change without a notification (a
// server's state, a worker's flag); they are tested at least this often.
constexpr DWORD RECHECK_MS = 10;

// One field of each notification of `kind`, in order.
template <typename Field>
std::vector<Field> FieldOfEach(const std::vector<HostNotification> &notifications, WPARAM kind,
                               Field HostNotification::*field)
{
    std::vector<Field> fields;
    for (const HostNotification &notification : notifications)
        if (notification.kind == kind)
            fields.push_back(notification.*field);
    return fields;
}

}  // namespace

TestHost::TestHost(const PluginApi &api)
    : m_host(api, [this](const HostNotification &notification) { Record(notification); }, PluginHost::DEFER_LOAD)
{
}

void TestHost::LoadQuietly()
{
    Load();
    Pump();
    ClearNotifications();
}

void TestHost::Record(const HostNotification &notification)
{
    m_notifications.push_back(notification);
    if (m_hook)
        m_hook(m_notifications.back());
}

std::vector<std::string> TestHost::Texts() const
{
    return FieldOfEach(m_notifications, MORV_TN_TEXT, &HostNotification::text);
}

std::vector<DWORD> TestHost::Statuses() const
{
    return FieldOfEach(m_notifications, MORV_TN_STATUS, &HostNotification::status);
}

std::vector<CMapStringToString> TestHost::SentRecords() const
{
    return FieldOfEach(m_notifications, MORV_TN_SENT, &HostNotification::record);
}

std::vector<std::string> TestHost::Transcript() const
{
    std::vector<std::string> lines;
    for (const HostNotification &notification : m_notifications) {
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

bool TestHost::PumpUntil(const std::function<bool()> &condition, DWORD timeoutMs)
{
    return m_host.PumpUntilIgnoringInterrupts(condition, timeoutMs, RECHECK_MS);
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

void RestoreGame(const PluginApi &api, const char *game, CMapStringToString settings)
{
    CString name(game), tag(MORV_SETTINGS_TAG);
    unsigned long version = MORV_SETTINGS_VERSION;
    api.OnRestore(name, settings, tag, version);
}
