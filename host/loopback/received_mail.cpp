#include "host/loopback/received_mail.h"

std::string ReceivedMail::Content() const
{
    std::string content;
    content.reserve(data.size());
    std::size_t lineStart = 0;
    while (lineStart < data.size()) {
        std::size_t lineEnd = data.find("\r\n", lineStart);
        lineEnd = lineEnd == std::string::npos ? data.size() : lineEnd + 2;
        const bool stuffed = data.compare(lineStart, 2, "..") == 0;
        content.append(data, lineStart + (stuffed ? 1 : 0), lineEnd - lineStart - (stuffed ? 1 : 0));
        lineStart = lineEnd;
    }
    return content;
}

std::string ReceivedMail::Header() const
{
    const std::string content = Content();
    const std::size_t end = content.find("\r\n\r\n");
    return end == std::string::npos ? content : content.substr(0, end + 2);
}

std::string ReceivedMail::Body() const
{
    const std::string content = Content();
    const std::size_t end = content.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : content.substr(end + 4);
}
