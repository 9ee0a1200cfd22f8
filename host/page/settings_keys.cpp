#include "host/page/settings_keys.h"

#include "host/page/connection_settings.h"
#include "host/text/nearest_word.h"
#include "host/text/text_codec.h"
#include "host/text/usage_error.h"
#include "morvtransport/morvtransport.h"

#include <algorithm>
#include <cctype>
#include <optional>

void PutAssignments(CMapStringToString &pairs, const Assignments &assignments)
{
    for (const auto &[key, value] : assignments)
        pairs.SetAt(CString(Utf8ToAnsi(key)), CString(Utf8ToAnsi(value)));
}

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

const std::vector<std::string> &KnownKeys()
{
    static const std::vector<std::string> keys{"GameName", "Mailer",   "ServerSMTP", "From",     "To",
                                               "Subject",  "Action",   "Security",   "Login",    "TlsCaFile"};
    return keys;
}

namespace {

std::string KnownKeyList()
{
    std::string list;
    for (const std::string &key : KnownKeys())
        list += (list.empty() ? "" : ", ") + key;
    return list;
}

void CheckKnownKey(const std::string &key)
{
    if (std::find(KnownKeys().begin(), KnownKeys().end(), key) != KnownKeys().end())
        return;
    const std::optional<std::string> meant = NearestWord(key, KnownKeys());
    throw UsageError("the plug-in knows no setting \"" + key + "\"" +
                     (meant ? " (did you mean \"" + *meant + "\"?)" : std::string()) + "; it knows " +
                     KnownKeyList() + "; --force stores it all the same");
}

// The port of "host:port" or "[v6]:port" when it is written in digits.
std::optional<std::string> PortDigits(const std::string &server)
{
    const std::size_t bracket = server.rfind(']');
    const std::size_t colon = server.rfind(':');
    const bool hostPort = server.starts_with('[') ? bracket != std::string::npos && colon == bracket + 1
                                                  : colon != std::string::npos && colon == server.find(':');
    if (!hostPort || colon + 1 == server.size())
        return std::nullopt;
    const std::string port = server.substr(colon + 1);
    const bool digits = std::all_of(port.begin(), port.end(), [](unsigned char ch) { return std::isdigit(ch); });
    return digits ? std::optional<std::string>(port) : std::nullopt;
}

void CheckServerPort(const std::string &server)
{
    const std::optional<std::string> port = PortDigits(server);
    if (port && (port->size() > 5 || std::stoul(*port) < 1 || std::stoul(*port) > 65535))
        throw UsageError("ServerSMTP \"" + server + "\" names port " + *port +
                         "; a port lies in 1-65535 (HOST:PORT, or HOST alone for the default port)");
}

}  // namespace

std::string CheckConfigAssignment(const std::string &key, const std::string &value, bool force)
{
    if (key == "GameName")
        throw UsageError("GameName is the game's name and cannot be changed; configure a new game under the new name");
    if (!force)
        CheckKnownKey(key);
    if (key == "ServerSMTP")
        CheckServerPort(value);
    return CheckedConnectionValue(key, value);
}
