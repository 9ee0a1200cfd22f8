// Address lists and the header block built from them: parsing never
// yields an empty or untrimmed address nor one holding a separator, and
// whatever the subject, names and addresses hold, the header is a run of
// known fields with CRLF line ends closed by one empty line.
#include "compose/mail_message.h"
#include "platform/last_error.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 7> FIELDS = {"From: ",         "To: ",           "Cc: ",
                                                    "Subject: ",      "Reply-To: ",     "MIME-Version: ",
                                                    "Content-type: "};

bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f'; }

void CheckAddress(const CMailAddress &address)
{
    const std::string_view text = address.m_address.view();
    if (text.empty() || IsBlank(text.front()) || IsBlank(text.back()))
        std::abort();
    if (text.find_first_of(",;") != std::string_view::npos)
        std::abort();
}

void ParseInto(CMailMessage &message, const std::string &text, int kind)
{
    const int before = message.GetAddressCount(kind);
    SetLastError(0);
    if (!message.ParseAddressList(CString(text), kind) && GetLastError() != ERROR_INVALID_DATA)
        std::abort();
    for (int index = before; index < message.GetAddressCount(kind); ++index)
        CheckAddress(message.GetAddress(index, kind));
}

bool IsKnownField(std::string_view line)
{
    for (const std::string_view field : FIELDS)
        if (line.substr(0, field.size()) == field)
            return true;
    return false;
}

void CheckHeader(std::string_view header)
{
    if (header.size() < 4 || header.substr(header.size() - 4) != "\r\n\r\n")
        std::abort();
    std::size_t start = 0;
    for (std::size_t end = header.find('\n'); end != std::string_view::npos; end = header.find('\n', start)) {
        if (end == 0 || header[end - 1] != '\r')
            std::abort();
        const std::string_view line = header.substr(start, end - 1 - start);
        if (line.find('\r') != std::string_view::npos)
            std::abort();
        const bool last = end + 1 == header.size();
        if (last ? !line.empty() : !IsKnownField(line))
            std::abort();
        start = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    CMailMessage message;
    message.m_from = CMailAddress(CString(input.ConsumeRandomLengthString(64)),
                                  CString(input.ConsumeRandomLengthString(64)));
    message.m_subject = CString(input.ConsumeRandomLengthString(128));
    message.m_replyTo = CMailAddress(CString(input.ConsumeRandomLengthString(64)),
                                     CString(input.ConsumeRandomLengthString(64)));
    CMailAttachment attachment;
    if (input.ConsumeBool())
        message.m_attachments.push_back(&attachment);
    while (input.remaining_bytes() > 0) {
        const int kind = input.ConsumeIntegralInRange(ADDRESS_TO, ADDRESS_BCC);
        ParseInto(message, input.ConsumeRandomLengthString(256), kind);
    }
    CheckHeader(message.BuildHeader().view());
    return 0;
}
