#include "platform/profile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace {

// Larger files are read only this far: a profile is a few lines, and the
// variable may name anything, a device that never ends included.
constexpr std::size_t PROFILE_READ_LIMIT = 1 << 20;

constexpr std::string_view BLANKS = " \t\r\v\f";

std::string_view Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(BLANKS);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(BLANKS);
    return text.substr(first, last - first + 1);
}

char AsciiLower(char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch; }

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

std::string_view Unquoted(std::string_view value)
{
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

// The value of the first `key` line inside a `section`, if any.
std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key)
{
    bool inSection = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const auto close = line.find(']');
            inSection = close != std::string_view::npos && EqualNoCase(Trimmed(line.substr(1, close - 1)), section);
            continue;
        }
        const auto equals = line.find('=');
        if (inSection && equals != std::string_view::npos && EqualNoCase(Trimmed(line.substr(0, equals)), key))
            return Unquoted(Trimmed(line.substr(equals + 1)));
    }
    return std::nullopt;
}

UINT LeadingNumber(std::string_view value)
{
    std::size_t at = 0;
    const bool negative = at < value.size() && value[at] == '-';
    if (at < value.size() && (value[at] == '-' || value[at] == '+'))
        ++at;
    unsigned long long number = 0;
    for (; at < value.size() && value[at] >= '0' && value[at] <= '9'; ++at)
        number = std::min(number * 10 + static_cast<unsigned>(value[at] - '0'), 0xFFFFFFFFull);
    return negative ? 0 : static_cast<UINT>(number);
}

std::string ReadProfileFile(const std::string &path)
{
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error))
        return {};
    std::ifstream file(path, std::ios::binary);
    std::string text(PROFILE_READ_LIMIT, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    return text;
}

CString Variable(const char *name)
{
    const char *value = std::getenv(name);
    return CString(value ? value : "");
}

}  // namespace

CString GetProfilePath()
{
    const CString named = Variable(WIN_INI_VARIABLE);
    if (!named.IsEmpty())
        return named;
    CString configHome = Variable("XDG_CONFIG_HOME");
    if (configHome.IsEmpty() || configHome[0] != '/') {
        const CString home = Variable("HOME");
        if (home.IsEmpty())
            return CString();
        configHome = home + "/.config";
    }
    return configHome + "/morvtransport/win.ini";
}

UINT ProfileIntFromText(std::string_view text, std::string_view section, std::string_view key, int defaultValue)
{
    const auto value = FindValue(text, section, key);
    if (!value || value->empty())
        return static_cast<UINT>(defaultValue);
    return LeadingNumber(*value);
}

UINT GetProfileIntA(const char *section, const char *key, int defaultValue)
{
    const std::string text = ReadProfileFile(GetProfilePath().str());
    return ProfileIntFromText(text, section ? section : "", key ? key : "", defaultValue);
}
