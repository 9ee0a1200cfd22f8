#include "provider_settings.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace {

std::string Setting(const char *name, const char *fallback)
{
    const char *value = std::getenv(name);
    return value && *value ? value : fallback;
}

bool IsCharsetToken(std::string_view name)
{
    return !name.empty() && name.size() <= 40 && std::all_of(name.begin(), name.end(), [](char ch) {
        return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
               ch == '-' || ch == '_' || ch == '.' || ch == ':';
    });
}

}  // namespace

std::string SendmailProgram() { return Setting(SENDMAIL_VARIABLE, DEFAULT_SENDMAIL); }

std::string MailCharset()
{
    const std::string charset = Setting(CHARSET_VARIABLE, DEFAULT_CHARSET);
    return IsCharsetToken(charset) ? charset : DEFAULT_CHARSET;
}
