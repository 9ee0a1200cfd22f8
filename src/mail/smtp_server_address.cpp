#include "mail/smtp_server_address.h"

#include <charconv>

SmtpServerAddress ParseSmtpServer(const CString &setting)
{
    const std::string_view text = setting.view();
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos)
        return {setting, SMTP_PORT};
    const std::string_view digits = text.substr(colon + 1);
    int port = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
    const bool wholeNumber = error == std::errc() && end == digits.data() + digits.size() && !digits.empty() &&
                             digits.front() != '-' && digits.front() != '+';
    if (!wholeNumber || port < 1 || port > 65535)
        return {setting, SMTP_PORT};
    return {CString(text.substr(0, colon)), port};
}
