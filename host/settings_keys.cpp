#include "host/settings_keys.h"

#include <algorithm>
#include <array>
#include <cctype>

std::pair<std::string, std::string> ParseAssignment(const std::string &text)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        throw UsageError("\"" + text + "\" is no KEY=VALUE assignment");
    return {text.substr(0, equals), text.substr(equals + 1)};
}

bool IsPageKey(const std::string &key)
{
    static const std::array<std::string, 6> PAGE_KEYS{"From", "To", "Subject", "ServerSMTP", "Action", "Mailer"};
    return std::find(PAGE_KEYS.begin(), PAGE_KEYS.end(), key) != PAGE_KEYS.end();
}

int MailerListIndex(const std::string &value)
{
    std::string upper = value;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char ch) { return std::toupper(ch); });
    if (upper == "0" || upper == "SMTP")
        return 0;
    if (upper == "1" || upper == "MAPI")
        return 1;
    throw UsageError("Mailer takes 0 or SMTP, 1 or MAPI, not \"" + value + "\"");
}
