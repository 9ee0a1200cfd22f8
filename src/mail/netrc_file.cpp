#include "mail/netrc_file.h"

#include <algorithm>
#include <cctype>
#include <strings.h>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

constexpr const char *NETRC_UNREADABLE_TEXT = "Cannot read the netrc file %s";
constexpr const char *NETRC_NOT_PRIVATE_TEXT =
    "The netrc file %s may be read or written by others; make it private (chmod 600) before it is used";
constexpr const char *NETRC_NO_ENTRY_TEXT = "The netrc file %s has no password for machine %s with login %s";

// The words of a netrc text, one at a time.
class CNetrcWords {
public:
    explicit CNetrcWords(std::string_view text) : m_text(text) {}

    // The next word; nothing at the end of the text.
    std::optional<std::string> Next();
    // Skips a macro's body, which ends at the first empty line.
    void SkipMacro();

private:
    std::string Quoted();

    std::string_view m_text;
    std::size_t m_at = 0;
};

std::optional<std::string> CNetrcWords::Next()
{
    for (;;) {
        while (m_at < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_at])))
            ++m_at;
        if (m_at == m_text.size())
            return std::nullopt;
        if (m_text[m_at] == '"')
            return Quoted();
        if (m_text[m_at] != '#')
            break;
        m_at = std::min(m_text.find('\n', m_at), m_text.size());
    }
    const std::size_t start = m_at;
    while (m_at < m_text.size() && !std::isspace(static_cast<unsigned char>(m_text[m_at])))
        ++m_at;
    return std::string(m_text.substr(start, m_at - start));
}

std::string CNetrcWords::Quoted()
{
    std::string word;
    for (++m_at; m_at < m_text.size() && m_text[m_at] != '"'; ++m_at) {
        if (m_text[m_at] == '\\' && m_at + 1 < m_text.size())
            ++m_at;
        word.push_back(m_text[m_at]);
    }
    m_at = std::min(m_at + 1, m_text.size());
    return word;
}

// The macro's body starts on the line after its name. An empty line is
// one that holds nothing before its LF but, in a file with CRLF line
// ends, its CR.
void CNetrcWords::SkipMacro()
{
    bool bodyLine = false;
    while (m_at < m_text.size()) {
        const std::size_t lineEnd = std::min(m_text.find('\n', m_at), m_text.size());
        const std::string_view line = m_text.substr(m_at, lineEnd - m_at);
        m_at = std::min(lineEnd + 1, m_text.size());
        if (bodyLine && (line.empty() || line == "\r"))
            return;
        bodyLine = true;
    }
}

struct NetrcEntry {
    bool isDefault = false;
    std::string machine;
    std::string login;
    std::optional<std::string> password;
};

// Sets a field of the entry being read; "account" and unknown words are
// passed over.
void SetField(NetrcEntry &entry, const std::string &field, std::optional<std::string> value)
{
    if (field == "login")
        entry.login = value.value_or("");
    else if (field == "password")
        entry.password = std::move(value);
}

std::vector<NetrcEntry> ReadEntries(std::string_view text)
{
    CNetrcWords words(text);
    std::vector<NetrcEntry> entries;
    while (const std::optional<std::string> word = words.Next()) {
        if (*word == "machine") {
            entries.push_back({false, words.Next().value_or(""), {}, {}});
        } else if (*word == "default") {
            entries.push_back({true, {}, {}, {}});
        } else if (*word == "macdef") {
            words.Next();
            words.SkipMacro();
        } else if (*word == "login" || *word == "password" || *word == "account") {
            std::optional<std::string> value = words.Next();
            if (!entries.empty())
                SetField(entries.back(), *word, std::move(value));
        }
    }
    return entries;
}

}  // namespace

std::optional<std::string> FindNetrcPassword(std::string_view text, std::string_view machine, std::string_view login)
{
    const std::vector<NetrcEntry> entries = ReadEntries(text);
    const std::string host(machine);
    for (const bool anyMachine : {false, true}) {
        for (const NetrcEntry &entry : entries) {
            const bool forMachine = anyMachine ? entry.isDefault : !entry.isDefault && strcasecmp(entry.machine.c_str(), host.c_str()) == 0;
            if (forMachine && entry.login == login && entry.password)
                return entry.password;
        }
    }
    return std::nullopt;
}

CString ReadNetrcPassword(const std::string &path, const CString &machine, const CString &login, CString &password)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return CString::Formatted(NETRC_UNREADABLE_TEXT, path.c_str());
    if (OthersMayUse(path))
        return CString::Formatted(NETRC_NOT_PRIVATE_TEXT, path.c_str());
    std::ostringstream text;
    text << file.rdbuf();
    const std::optional<std::string> found = FindNetrcPassword(text.str(), machine.view(), login.view());
    if (!found)
        return CString::Formatted(NETRC_NO_ENTRY_TEXT, path.c_str(), machine.GetString(), login.GetString());
    password = CString(found->c_str());
    return CString();
}
