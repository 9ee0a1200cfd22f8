#include "host/settings_keys.h"

#include "host/usage_error.h"
#include "morvtransport/morvtransport.h"

#include <algorithm>
#include <cctype>

std::pair<std::string, std::string> ParseAssignment(const std::string &text)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        throw UsageError("\"" + text + "\" is no KEY=VALUE assignment");
    return {text.substr(0, equals), text.substr(equals + 1)};
}

int PageControlId(const std::string &key)
{
    static const std::pair<const char *, int> CONTROLS[] = {
        {"From", MORV_IDC_FROM},         {"To", MORV_IDC_TO},         {"Subject", MORV_IDC_SUBJECT},
        {"ServerSMTP", MORV_IDC_SERVER_SMTP}, {"Action", MORV_IDC_ACTION}, {"Mailer", MORV_IDC_MAILER}};
    const auto found = std::find_if(std::begin(CONTROLS), std::end(CONTROLS),
                                    [&](const auto &control) { return key == control.first; });
    return found == std::end(CONTROLS) ? 0 : found->second;
}

bool IsPageKey(const std::string &key) { return PageControlId(key) != 0; }

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
