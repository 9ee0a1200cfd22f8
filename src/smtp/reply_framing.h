// Pure framing of SMTP replies over the bytes received so far. A reply is one
// or more lines; every line but the last carries a hyphen right after its
// three-digit code ("250-"), so a reply ends with the first line that does not.
#pragma once

#include <cstddef>
#include <string_view>

// How far the search for the end of one reply has come in a growing buffer,
// so that each byte is looked at about once however the reply is split.
struct ReplyScan {
    std::size_t lineStart = 0;  // first byte of the first line not yet complete
    std::size_t searched = 0;   // where the search for its line end resumes
};

// Length of the complete reply at the start of `bytes`, through the line end
// of its last line; 0 while it is incomplete. `scan` starts empty for each
// reply and carries the progress from call to call.
std::size_t FindReplyEnd(std::string_view bytes, std::string_view lineEnd, ReplyScan &scan);
std::size_t FindReplyEnd(std::string_view bytes, std::string_view lineEnd = "\r\n");

// A line (without its line end) that announces more lines of the same reply.
bool IsContinuationLine(std::string_view line);

// The code of a reply: its first three characters when they are digits and
// are followed by a blank, a hyphen, CR or nothing; 0 for anything else.
int ParseReplyCode(std::string_view reply);

// The code that every line of a complete reply carries (RFC 5321 4.2.1); 0
// when a line has no code or the lines disagree, which makes the reply
// malformed. `reply` may end with its last line end.
int CommonReplyCode(std::string_view reply, std::string_view lineEnd = "\r\n");
