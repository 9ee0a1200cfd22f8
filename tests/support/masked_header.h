// What the tests compare of a mail that went to a mail provider: its
// content with the values that change from mail to mail, the date and the
// left part of the Message-ID, shown as "*".
#pragma once

#include <string>

// The header of the tests' turn from player@example.org to
// server@example.org, subject "Turn", as Masked shows it.
inline const std::string MASKED_TURN_HEADER =
    "Date: *\r\nFrom: player@example.org\r\nTo: server@example.org\r\nSubject: Turn\r\n"
    "Message-ID: <*@example.org>\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=KOI8-R\r\n"
    "Content-Transfer-Encoding: 8bit\r\n\r\n";

// `content` with the value of its Date line when in UTC, and the left part
// of its Message-ID when of digits, letters a-f and dots, shown as "*";
// values of another form stay.
inline std::string Masked(std::string content)
{
    const auto mask = [&content](const std::string &prefix, const std::string &end, auto fits) {
        const std::size_t start = content.find(prefix);
        if (start == std::string::npos)
            return;
        const std::size_t from = start + prefix.size();
        const std::size_t to = content.find(end, from);
        if (to != std::string::npos && fits(content.substr(from, to - from)))
            content.replace(from, to - from, "*");
    };
    mask("Date: ", "\r\n", [](const std::string &value) { return value.size() == 31 && value.ends_with(" +0000"); });
    mask("\r\nMessage-ID: <", "@", [](const std::string &value) {
        return !value.empty() && value.find_first_not_of("0123456789abcdef.") == std::string::npos;
    });
    return content;
}
