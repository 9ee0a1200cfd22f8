// The body as it goes into the DATA stream: after the header's last line
// end, the stored body and the end-of-data line hold exactly one end of
// data, every line ends in CRLF, and nothing but line ends and stuffed
// dots was added or lost.
#include "compose/mail_message.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view END_OF_DATA = "\r\n.\r\n";

std::string WithoutLineEndsAndDots(std::string_view text)
{
    std::string kept;
    for (const char ch : text)
        if (ch != '\r' && ch != '\n' && ch != '.')
            kept += ch;
    return kept;
}

bool OnlyCrLfLineEnds(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            return false;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            return false;
    }
    return true;
}

std::size_t CountEndsOfData(std::string_view stream)
{
    std::size_t count = 0;
    for (std::size_t at = stream.find(END_OF_DATA); at != std::string_view::npos;
         at = stream.find(END_OF_DATA, at + 1))
        ++count;
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view original(reinterpret_cast<const char *>(data), size);
    CMailMessage message;
    message.SetBody(CString(original));
    const std::string_view body = message.m_body.view();
    const std::string stream = "\r\n" + std::string(body) + std::string(END_OF_DATA);
    if (!OnlyCrLfLineEnds(body) || CountEndsOfData(stream) != 1)
        std::abort();
    if (stream.substr(stream.size() - END_OF_DATA.size()) != END_OF_DATA)
        std::abort();
    if (WithoutLineEndsAndDots(body) != WithoutLineEndsAndDots(original))
        std::abort();
    return 0;
}
