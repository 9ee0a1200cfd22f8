#include "host/text/error_numbers.h"

#include <cctype>
#include <cstring>

namespace {

constexpr std::string_view MARKER = "GetLastError returns: ";

// The codes the plug-in sets itself, and the system's of Winsock, under
// their Windows numbers.
struct OwnCode {
    unsigned long number;
    const char *meaning;
};
constexpr OwnCode OWN_CODES[] = {
    {10004, "interrupted by a cancel"},
    {10022, "the server's name was not found, or no address of it could be used"},
    {10043, "no such protocol"},
    {10051, "network is unreachable"},
    {10053, "the connection was aborted"},
    {10054, "the connection was reset"},
    {10060, "timed out"},
    {10061, "connection refused"},
    {10065, "no route to host"},
};

std::string LowerFirst(std::string text)
{
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

}  // namespace

std::string ErrorNumberMeaning(unsigned long number)
{
    for (const OwnCode &code : OWN_CODES)
        if (code.number == number)
            return code.meaning;
    return number == 0 || number >= 10000 ? std::string() : LowerFirst(std::strerror(static_cast<int>(number)));
}

std::string ExplainErrorNumbers(std::string_view text)
{
    const std::size_t at = text.find(MARKER);
    if (at == std::string_view::npos)
        return std::string(text);
    std::size_t end = at + MARKER.size();
    unsigned long number = 0;
    for (; end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])); ++end)
        number = number * 10 + static_cast<unsigned long>(text[end] - '0');
    const std::string meaning = end > at + MARKER.size() ? ErrorNumberMeaning(number) : std::string();
    if (meaning.empty())
        return std::string(text);
    return std::string(text.substr(0, end)) + " (" + meaning + ")" + std::string(text.substr(end));
}
