#include "mail_text.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr std::size_t HEADER_LINE_LIMIT = 78;
constexpr std::size_t ENCODED_WORD_LIMIT = 75;

std::string_view TrimmedBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool NeedsEncoding(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char ch) {
        const auto byte = static_cast<unsigned char>(ch);
        return byte < 0x20 || byte >= 0x7F;
    });
}

bool HasEightBit(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char ch) { return static_cast<unsigned char>(ch) >= 0x80; });
}

std::string Base64(std::string_view bytes)
{
    static constexpr char DIGITS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t at = 0; at < bytes.size(); at += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - at);
        unsigned group = 0;
        for (std::size_t i = 0; i < 3; ++i)
            group = (group << 8) | (i < count ? static_cast<unsigned char>(bytes[at + i]) : 0u);
        for (std::size_t i = 0; i < 4; ++i)
            out += i <= count ? DIGITS[(group >> (18 - 6 * i)) & 0x3F] : '=';
    }
    return out;
}

// Where to end an encoded word's piece of `text`: at most `limit` bytes,
// never inside a UTF-8 sequence when the charset is UTF-8.
std::size_t PieceLength(std::string_view text, std::size_t limit, bool utf8)
{
    std::size_t length = std::min(limit, text.size());
    while (utf8 && length < text.size() && length > 1 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        --length;
    return length;
}

char AsciiLower(char ch) { return static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch); }

bool StartsWithNoCase(std::string_view text, std::string_view lowerPrefix)
{
    return text.size() >= lowerPrefix.size() &&
           std::equal(lowerPrefix.begin(), lowerPrefix.end(), text.begin(),
                      [](char prefixChar, char textChar) { return prefixChar == AsciiLower(textChar); });
}

bool IsUtf8(std::string_view charset)
{
    const auto is = [&](std::string_view name) { return charset.size() == name.size() && StartsWithNoCase(charset, name); };
    return is("utf-8") || is("utf8");
}

std::string EncodedWords(std::string_view text, std::string_view charset)
{
    const std::string prefix = "=?" + std::string(charset) + "?B?";
    const std::size_t room = ENCODED_WORD_LIMIT - prefix.size() - 2;
    const std::size_t limit = std::max<std::size_t>(3, room / 4 * 3);
    std::string out;
    while (!text.empty()) {
        const std::size_t length = PieceLength(text, limit, IsUtf8(charset));
        out += (out.empty() ? "" : "\n ") + prefix + Base64(text.substr(0, length)) + "?=";
        text.remove_prefix(length);
    }
    return out;
}

std::string RecipientText(const MapiRecipDesc &recipient)
{
    std::string_view address = recipient.lpszAddress ? recipient.lpszAddress : "";
    if (StartsWithNoCase(address, "smtp:"))
        address.remove_prefix(5);
    if (!address.empty())
        return std::string(address);
    return recipient.lpszName ? recipient.lpszName : "";
}

using RecipientLists = std::array<std::vector<std::string>, 3>;

std::uint32_t CollectRecipients(const MapiMessage &message, RecipientLists &lists)
{
    if (message.nRecipCount && !message.lpRecips)
        return MAPI_E_INVALID_RECIPS;
    for (std::uint32_t i = 0; i < message.nRecipCount; ++i) {
        const MapiRecipDesc &recipient = message.lpRecips[i];
        if (recipient.ulRecipClass < MAPI_TO || recipient.ulRecipClass > MAPI_BCC)
            return MAPI_E_BAD_RECIPTYPE;
        const std::string text = RecipientText(recipient);
        if (text.find_first_of("\r\n") != std::string::npos)
            return MAPI_E_INVALID_RECIPS;
        for (std::string &address : SplitAddresses(text))
            lists[recipient.ulRecipClass - MAPI_TO].push_back(std::move(address));
    }
    const bool none = std::all_of(lists.begin(), lists.end(), [](const auto &list) { return list.empty(); });
    return none ? MAPI_E_INVALID_RECIPS : SUCCESS_SUCCESS;
}

std::string ContentHeaders(std::string_view body, std::string_view charset)
{
    return "MIME-Version: 1.0\nContent-Type: text/plain; charset=" + std::string(charset) +
           "\nContent-Transfer-Encoding: " + (HasEightBit(body) ? "8bit" : "7bit") + "\n";
}

}  // namespace

std::vector<std::string> SplitAddresses(std::string_view text)
{
    std::vector<std::string> addresses;
    bool quoted = false;
    int angles = 0;
    std::size_t start = 0;
    for (std::size_t at = 0; at <= text.size(); ++at) {
        const char ch = at < text.size() ? text[at] : ';';
        if (ch == '"' && (at == 0 || text[at - 1] != '\\'))
            quoted = !quoted;
        else if (!quoted && (ch == '<' || ch == '>'))
            angles = std::max(0, angles + (ch == '<' ? 1 : -1));
        if ((ch != ';' && ch != ',') || (at < text.size() && (quoted || angles > 0)))
            continue;
        const std::string_view piece = TrimmedBlanks(text.substr(start, at - start));
        if (!piece.empty())
            addresses.emplace_back(piece);
        start = at + 1;
    }
    return addresses;
}

std::string AddressHeader(std::string_view name, const std::vector<std::string> &addresses)
{
    if (addresses.empty())
        return {};
    std::string header = std::string(name) + ": " + addresses.front();
    std::size_t lineLength = header.size();
    for (std::size_t i = 1; i < addresses.size(); ++i) {
        const bool fold = lineLength + 2 + addresses[i].size() > HEADER_LINE_LIMIT;
        header += fold ? ",\n " : ", ";
        lineLength = (fold ? 1 : lineLength + 2) + addresses[i].size();
        header += addresses[i];
    }
    return header + "\n";
}

std::string HeaderText(std::string_view text, std::string_view charset)
{
    std::string line(text);
    std::replace_if(line.begin(), line.end(), [](char ch) { return ch == '\r' || ch == '\n'; }, ' ');
    return NeedsEncoding(line) ? EncodedWords(line, charset) : line;
}

std::string MailDate(std::time_t when)
{
    static constexpr const char *DAYS[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char *MONTHS[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm utc{};
    if (!gmtime_r(&when, &utc))
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d +0000", DAYS[utc.tm_wday], utc.tm_mday,
                  MONTHS[utc.tm_mon], utc.tm_year + 1900, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return text;
}

std::string UnixLines(std::string_view body)
{
    std::string lines;
    for (std::size_t at = 0; at < body.size(); ++at) {
        if (body[at] != '\r')
            lines += body[at];
        else if (at + 1 >= body.size() || body[at + 1] != '\n')
            lines += '\n';
    }
    if (!lines.empty() && lines.back() != '\n')
        lines += '\n';
    return lines;
}

std::uint32_t ComposeMailText(const MapiMessage &message, const MailTextOptions &options, std::string &text)
{
    if (message.nFileCount)
        return MAPI_E_TOO_MANY_FILES;
    RecipientLists lists;
    if (const std::uint32_t result = CollectRecipients(message, lists); result != SUCCESS_SUCCESS)
        return result;
    const std::string subject = HeaderText(message.lpszSubject ? message.lpszSubject : "", options.charset);
    const std::string body = UnixLines(message.lpszNoteText ? message.lpszNoteText : "");
    text = AddressHeader("To", lists[0]) + AddressHeader("Cc", lists[1]) + AddressHeader("Bcc", lists[2]);
    if (!subject.empty())
        text += "Subject: " + subject + "\n";
    text += "Date: " + MailDate(options.date) + "\n" + ContentHeaders(body, options.charset) + "\n" + body;
    return SUCCESS_SUCCESS;
}
