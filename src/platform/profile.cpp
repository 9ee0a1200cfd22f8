#include "platform/profile.h"

#include <algorithm>
#include <optional>

namespace {

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

}  // namespace

UINT ProfileIntFromText(std::string_view text, std::string_view section, std::string_view key, int defaultValue)
{
    const auto value = FindValue(text, section, key);
    if (!value || value->empty())
        return static_cast<UINT>(defaultValue);
    return LeadingNumber(*value);
}
