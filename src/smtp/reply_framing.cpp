#include "smtp/reply_framing.h"

#include <algorithm>

namespace {

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

bool StartsWithCode(std::string_view text)
{
    return text.size() >= 3 && IsDigit(text[0]) && IsDigit(text[1]) && IsDigit(text[2]);
}

}  // namespace

std::size_t FindReplyEnd(std::string_view bytes, std::string_view lineEnd, ReplyScan &scan)
{
    if (lineEnd.empty())
        lineEnd = "\r\n";
    for (;;) {
        const std::size_t found = bytes.find(lineEnd, scan.searched);
        if (found == std::string_view::npos) {
            // The line end itself may be split between two arrivals.
            const std::size_t overlap = lineEnd.size() - 1;
            scan.searched = std::max(scan.lineStart, bytes.size() > overlap ? bytes.size() - overlap : 0);
            return 0;
        }
        const std::string_view line = bytes.substr(scan.lineStart, found - scan.lineStart);
        scan.lineStart = scan.searched = found + lineEnd.size();
        if (!IsContinuationLine(line))
            return scan.lineStart;
    }
}

std::size_t FindReplyEnd(std::string_view bytes, std::string_view lineEnd)
{
    ReplyScan scan;
    return FindReplyEnd(bytes, lineEnd, scan);
}

bool IsContinuationLine(std::string_view line) { return StartsWithCode(line) && line.size() > 3 && line[3] == '-'; }

int ParseReplyCode(std::string_view reply)
{
    if (!StartsWithCode(reply))
        return 0;
    if (reply.size() > 3 && reply[3] != ' ' && reply[3] != '-' && reply[3] != '\r')
        return 0;
    return (reply[0] - '0') * 100 + (reply[1] - '0') * 10 + (reply[2] - '0');
}

int CommonReplyCode(std::string_view reply, std::string_view lineEnd)
{
    if (lineEnd.empty())
        lineEnd = "\r\n";
    const int code = ParseReplyCode(reply);
    for (std::size_t start = 0; code != 0 && start < reply.size();) {
        const std::size_t end = std::min(reply.find(lineEnd, start), reply.size());
        if (ParseReplyCode(reply.substr(start, end - start)) != code)
            return 0;
        start = end + lineEnd.size();
    }
    return code;
}
