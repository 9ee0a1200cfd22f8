// The text of one mail as the sendmail interface reads it with "-t -i": a
// header block (recipients, subject, date, MIME type), a blank line and the
// note text, every line ended by LF. Pure functions.
#pragma once

#include "mail/mapi.h"

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

struct MailTextOptions {
    std::string charset;  // of the subject and the note text
    std::time_t date = 0;
};

// SUCCESS_SUCCESS with `text` set, or the Simple MAPI code that refuses the
// message: attachments (MAPI_E_TOO_MANY_FILES), a recipient class other
// than To, Cc or Bcc (MAPI_E_BAD_RECIPTYPE), a recipient holding a line
// break or no recipient address at all (MAPI_E_INVALID_RECIPS).
std::uint32_t ComposeMailText(const MapiMessage &message, const MailTextOptions &options, std::string &text);

// The addresses in a recipient text: split at ';' and ',' outside quotes
// and angle brackets, blanks trimmed, empty pieces dropped.
std::vector<std::string> SplitAddresses(std::string_view text);
// "Name: a, b, ..." folded onto continuation lines before 78 characters;
// empty for no addresses.
std::string AddressHeader(std::string_view name, const std::vector<std::string> &addresses);
// `text` fit for a header: CR and LF become blanks, and a text with bytes
// outside printable ASCII becomes RFC 2047 "B" encoded words in `charset`.
std::string HeaderText(std::string_view text, std::string_view charset);
// RFC 5322 date of `when`, in UTC.
std::string MailDate(std::time_t when);
// `body` with CR LF and lone CR turned into LF, ending in LF unless empty.
std::string UnixLines(std::string_view body);
