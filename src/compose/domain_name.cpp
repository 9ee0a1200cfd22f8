#include "compose/domain_name.h"

#include <algorithm>

namespace {

constexpr std::size_t MAX_DOMAIN_LENGTH = 253;
constexpr std::size_t MAX_LABEL_LENGTH = 63;

// ASCII only, whatever locale the host set.
bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
bool IsLetterOrDigit(char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || IsDigit(ch); }
bool IsHexDigit(char ch) { return IsDigit(ch) || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F'); }

bool IsLabel(std::string_view label)
{
    return !label.empty() && label.size() <= MAX_LABEL_LENGTH && IsLetterOrDigit(label.front()) &&
           IsLetterOrDigit(label.back()) &&
           std::all_of(label.begin(), label.end(), [](char ch) { return IsLetterOrDigit(ch) || ch == '-'; });
}

// A decimal number 0-255 of one to three digits.
bool IsOctet(std::string_view digits)
{
    if (digits.empty() || digits.size() > 3 || !std::all_of(digits.begin(), digits.end(), IsDigit))
        return false;
    int value = 0;
    for (const char digit : digits)
        value = value * 10 + (digit - '0');
    return value <= 255;
}

bool IsDottedIpv4(std::string_view text)
{
    for (int part = 0; part < 3; ++part) {
        const std::size_t dot = text.find('.');
        if (dot == std::string_view::npos || !IsOctet(text.substr(0, dot)))
            return false;
        text.remove_prefix(dot + 1);
    }
    return IsOctet(text);
}

bool IsIpv6Text(std::string_view text)
{
    return text.find(':') != std::string_view::npos && std::all_of(text.begin(), text.end(), [](char ch) {
               return IsHexDigit(ch) || ch == ':' || ch == '.';
           });
}

}  // namespace

bool IsDomainOfLabels(std::string_view text)
{
    if (text.size() > MAX_DOMAIN_LENGTH)
        return false;
    for (;;) {
        const std::size_t dot = text.find('.');
        if (!IsLabel(text.substr(0, dot)))
            return false;
        if (dot == std::string_view::npos)
            return true;
        text.remove_prefix(dot + 1);
    }
}

bool IsFullyQualifiedDomain(std::string_view text)
{
    const std::size_t lastDot = text.rfind('.');
    if (lastDot == std::string_view::npos || !IsDomainOfLabels(text))
        return false;
    const std::string_view last = text.substr(lastDot + 1);
    return !std::all_of(last.begin(), last.end(), IsDigit);
}

bool IsAddressLiteral(std::string_view text)
{
    constexpr std::string_view IPV6_TAG = "IPv6:";
    if (text.size() < 2 || text.front() != '[' || text.back() != ']')
        return false;
    const std::string_view inside = text.substr(1, text.size() - 2);
    if (inside.starts_with(IPV6_TAG))
        return IsIpv6Text(inside.substr(IPV6_TAG.size()));
    return IsDottedIpv4(inside);
}
