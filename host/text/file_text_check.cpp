#include "host/text/file_text_check.h"

namespace {

// In UTF-32 every unit is at most U+10FFFF: its top byte is NUL, the next
// at most 0x10.
template <bool little>
bool LooksLikeUtf32(std::string_view bytes)
{
    if (bytes.empty() || bytes.size() % 4 != 0)
        return false;
    for (std::size_t at = 0; at < bytes.size(); at += 4) {
        const auto top = static_cast<unsigned char>(bytes[little ? at + 3 : at]);
        const auto next = static_cast<unsigned char>(bytes[little ? at + 2 : at + 1]);
        if (top != 0 || next > 0x10)
            return false;
    }
    return true;
}

// Latin letters, digits, blanks and line ends in UTF-16 have a NUL high
// byte; text has no NUL low byte.
template <bool little>
bool LooksLikeUtf16(std::string_view bytes)
{
    if (bytes.size() % 2 != 0 || bytes.find('\0') == std::string_view::npos)
        return false;
    for (std::size_t at = little ? 0 : 1; at < bytes.size(); at += 2) {
        if (bytes[at] == '\0')
            return false;
    }
    return true;
}

struct WideEncoding {
    const char *name;  // as iconv names it without a mark
    std::string_view byteOrderMark;
    bool (*looksLike)(std::string_view bytes);
};

// UTF-32 first: its little-endian mark begins with UTF-16's.
const WideEncoding WIDE_ENCODINGS[] = {
    {"UTF-32LE", std::string_view("\xFF\xFE\0\0", 4), LooksLikeUtf32<true>},
    {"UTF-32BE", std::string_view("\0\0\xFE\xFF", 4), LooksLikeUtf32<false>},
    {"UTF-16LE", "\xFF\xFE", LooksLikeUtf16<true>},
    {"UTF-16BE", "\xFE\xFF", LooksLikeUtf16<false>},
};

// The encoding as iconv should read it: with a mark, iconv's "UTF-16" or
// "UTF-32" reads the mark for itself.
std::optional<std::string> WideEncodingOf(std::string_view bytes)
{
    for (const WideEncoding &encoding : WIDE_ENCODINGS) {
        if (bytes.starts_with(encoding.byteOrderMark))
            return std::string(encoding.name, 6);
    }
    for (const WideEncoding &encoding : WIDE_ENCODINGS) {
        if (encoding.looksLike(bytes))
            return encoding.name;
    }
    return std::nullopt;
}

bool IsBlank(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    return bytes.find_first_not_of(" \t\r\n\f\v") == std::string_view::npos;
}

std::string ConvertCommand(const std::string &encoding, const std::string &file)
{
    const std::string command = "iconv -f " + encoding + " -t UTF-8";
    return file == "-" ? command : command + " " + file + " > NEW-FILE";
}

}  // namespace

std::string BodySourceName(const std::string &file) { return file == "-" ? "standard input" : file; }

std::optional<std::string> NotTextProblem(std::string_view bytes, const std::string &file)
{
    const std::string name = BodySourceName(file);
    if (const std::optional<std::string> wide = WideEncodingOf(bytes))
        return name + " is " + *wide + " text; convert it to UTF-8 first: " + ConvertCommand(*wide, file);
    if (const std::size_t nul = bytes.find('\0'); nul != std::string_view::npos)
        return name + " is not a text file: it holds NUL bytes, the first at byte " + std::to_string(nul);
    if (IsBlank(bytes))
        return name + " is empty: a message needs text";
    return std::nullopt;
}
