#include "mail/smtp_server_address.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace {

// A decimal port 1-65535 and nothing else.
std::optional<int> ParsePort(std::string_view digits)
{
    int port = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
    const bool wholeNumber = error == std::errc() && end == digits.data() + digits.size() && !digits.empty() &&
                             digits.front() != '-' && digits.front() != '+';
    if (!wholeNumber || port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

// "[literal]" or "[literal]:port"; nothing when the text is neither.
std::optional<SmtpServerAddress> ParseBracketed(std::string_view text, int defaultPort)
{
    const std::size_t close = text.find(']');
    if (text.empty() || text.front() != '[' || close == std::string_view::npos)
        return std::nullopt;
    const CString host(text.substr(1, close - 1));
    const std::string_view rest = text.substr(close + 1);
    if (rest.empty())
        return SmtpServerAddress{host, defaultPort};
    const std::optional<int> port = rest.front() == ':' ? ParsePort(rest.substr(1)) : std::nullopt;
    if (!port)
        return std::nullopt;
    return SmtpServerAddress{host, *port};
}

}  // namespace

SmtpServerAddress ParseSmtpServer(const CString &setting, int defaultPort)
{
    const std::string_view text = setting.view();
    if (const auto bracketed = ParseBracketed(text, defaultPort))
        return *bracketed;
    const auto colon = text.rfind(':');
    // More than one colon: an IPv6 literal without a port.
    if (colon == std::string_view::npos || std::count(text.begin(), text.end(), ':') > 1)
        return {setting, defaultPort};
    const std::optional<int> port = ParsePort(text.substr(colon + 1));
    if (!port)
        return {setting, defaultPort};
    return {CString(text.substr(0, colon)), *port};
}
