#include "host/project/settings_edit.h"

#include <algorithm>

namespace {

// The plug-in reads an absent key as empty, and its page adds the keys it
// shows empty: the two are the same value.
std::string ValueOrEmpty(const std::optional<GameSection> &section, const std::string &key)
{
    return ValueIn(section, key).value_or(std::string());
}

}  // namespace

std::optional<std::string> ValueIn(const std::optional<GameSection> &section, const std::string &key)
{
    CString value;
    if (!section || !section->pairs.Lookup(CString(key), value))
        return std::nullopt;
    return value.str();
}

std::vector<std::string> SettingsEdit::ChangedKeys() const
{
    std::vector<std::string> keys;
    if (!m_edited)
        return keys;
    for (const auto &[key, value] : m_edited->pairs)
        if (ValueOrEmpty(m_opened, key.str()) != value.str() && !m_kept.contains(key.str()))
            keys.push_back(key.str());
    return keys;
}

bool SettingsEdit::Changes(const std::string &key) const
{
    const std::vector<std::string> keys = ChangedKeys();
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

std::vector<std::string> SettingsEdit::ChangedMeanwhile(const std::optional<GameSection> &current) const
{
    std::vector<std::string> keys;
    for (const std::string &key : ChangedKeys()) {
        const auto seen = m_seen.find(key);
        const std::string before = seen == m_seen.end() ? ValueOrEmpty(m_opened, key) : seen->second;
        const std::string now = ValueOrEmpty(current, key);
        if (now != before && now != ValueOrEmpty(m_edited, key))
            keys.push_back(key);
    }
    return keys;
}

void SettingsEdit::Overwrite(const std::vector<std::string> &keys, const std::optional<GameSection> &current)
{
    for (const std::string &key : keys)
        m_seen[key] = ValueOrEmpty(current, key);
}

void SettingsEdit::KeepOutside(const std::vector<std::string> &keys) { m_kept.insert(keys.begin(), keys.end()); }

GameSection SettingsEdit::AppliedTo(std::optional<GameSection> current) const
{
    GameSection section = std::move(current).value_or(GameSection{});
    for (const std::string &key : ChangedKeys())
        section.pairs.SetAt(CString(key), CString(ValueOrEmpty(m_edited, key)));
    section.tag = m_edited.value().tag;
    section.version = m_edited->version;
    return section;
}
