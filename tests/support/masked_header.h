// What the tests compare of a mail that went to a mail provider: its
// content with the values that change from mail to mail, the date and the
// left part of the Message-ID, shown as "*".
#pragma once

#include <regex>
#include <string>

// The header of the tests' turn from player@example.org to
// server@example.org, subject "Turn", as Masked shows it.
inline const std::string MASKED_TURN_HEADER =
    "Date: *\r\nFrom: player@example.org\r\nTo: server@example.org\r\nSubject: Turn\r\n"
    "Message-ID: <*@example.org>\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=KOI8-R\r\n"
    "Content-Transfer-Encoding: 8bit\r\n\r\n";

// `content` with an RFC 5322 date in UTC and the left part of a Message-ID
// (digits, letters a-f, dots) shown as "*"; values of another form stay.
inline std::string Masked(const std::string &content)
{
    static const std::regex date("Date: [A-Z][a-z]{2}, [0-9]{2} [A-Z][a-z]{2} [0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2} \\+0000");
    static const std::regex id("Message-ID: <[0-9a-f.]+@");
    return std::regex_replace(std::regex_replace(content, date, "Date: *"), id, "Message-ID: <*@");
}
