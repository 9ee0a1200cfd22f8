// The provider's own settings, read from the environment on each mail.
#pragma once

#include <string>

// MORV_SENDMAIL: the program that takes a mail on its standard input with
// "-t -i"; a name without '/' is looked up on PATH.
inline constexpr const char *SENDMAIL_VARIABLE = "MORV_SENDMAIL";
inline constexpr const char *DEFAULT_SENDMAIL = "/usr/sbin/sendmail";
// MORV_SENDMAIL_CHARSET: the character set of the texts the calling
// program passes (the host's ANSI code page).
inline constexpr const char *CHARSET_VARIABLE = "MORV_SENDMAIL_CHARSET";
inline constexpr const char *DEFAULT_CHARSET = "windows-1251";

std::string SendmailProgram();
// The charset setting when it is a plain MIME token, else the default.
std::string MailCharset();
