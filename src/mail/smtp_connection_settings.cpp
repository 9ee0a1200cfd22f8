#include "mail/smtp_connection_settings.h"

#include "mail/netrc_file.h"
#include "settings/game_settings.h"

#include <strings.h>

#include <array>
#include <utility>

namespace {

constexpr const char *UNKNOWN_SECURITY_TEXT = "Security is \"%s\"; it must be none, starttls or tls";
constexpr const char *LOGIN_WITHOUT_SECURITY_TEXT =
    "Login is set without Security: a password never goes in the clear, so set Security to starttls or tls";

// The value of `key`, empty when absent, without adding the key.
CString Setting(const CMessageRecord &record, const char *key)
{
    CString value;
    record.Lookup(key, value);
    return value;
}

bool ParseSecurity(const CString &text, SmtpSecurity &security)
{
    constexpr std::array<std::pair<const char *, SmtpSecurity>, 4> NAMES{
        {{"", SmtpSecurity::None}, {"none", SmtpSecurity::None}, {"starttls", SmtpSecurity::StartTls},
         {"tls", SmtpSecurity::Tls}}};
    for (const auto &[name, value] : NAMES) {
        if (strcasecmp(text.GetString(), name) == 0) {
            security = value;
            return true;
        }
    }
    return false;
}

}  // namespace

CString ReadSmtpConnectionSettings(CMessageRecord &record, SmtpConnectionSettings &settings)
{
    const CString security = Setting(record, KEY_SECURITY).Trim();
    if (!ParseSecurity(security, settings.security))
        return CString::Formatted(UNKNOWN_SECURITY_TEXT, security.GetString());
    const int defaultPort = settings.security == SmtpSecurity::Tls ? SMTPS_PORT : SMTP_PORT;
    settings.server = ParseSmtpServer(record[KEY_SERVER_SMTP], defaultPort);
    settings.caFile = Setting(record, KEY_TLS_CA_FILE);
    settings.login = Setting(record, KEY_LOGIN);
    if (settings.login.IsEmpty())
        return CString();
    if (settings.security == SmtpSecurity::None)
        return LOGIN_WITHOUT_SECURITY_TEXT;
    return ReadNetrcPassword(NetrcPath(), settings.server.host, settings.login, settings.password);
}
