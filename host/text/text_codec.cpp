#include "host/text/text_codec.h"

#include "host/os/text_converter.h"
#include "host/text/terminal_codeset.h"

#include <cstring>
#include <stdexcept>

namespace {

constexpr const char *ANSI_CODESET = "WINDOWS-1251";
constexpr const char *REPLACEMENT_CHARACTER = "\xEF\xBF\xBD";

TextConverter OpenConverter(const char *from, const char *to)
{
    try {
        return TextConverter(from, to);
    } catch (const std::invalid_argument &error) {
        throw TextCodecError(error.what());
    }
}

}  // namespace

std::string ConvertText(std::string_view text, const char *from, const char *to)
{
    TextConverter converter = OpenConverter(from, to);
    std::string out;
    const std::size_t stopped = converter.Convert(text, 0, out);
    if (stopped != text.size())
        throw TextCodecError("byte " + std::to_string(stopped) + " cannot be converted from " + from + " to " + to,
                             stopped);
    return out;
}

std::string ConvertTextLossy(std::string_view text, const char *from, const char *to,
                             std::string_view replacement)
{
    TextConverter converter = OpenConverter(from, to);
    std::string out;
    std::size_t offset = 0;
    while ((offset = converter.Convert(text, offset, out)) < text.size()) {
        out += replacement;
        ++offset;
    }
    return out;
}

std::string Utf8ToAnsi(std::string_view utf8) { return ConvertText(utf8, "UTF-8", ANSI_CODESET); }

std::string AnsiToUtf8(std::string_view ansi)
{
    return ConvertTextLossy(ansi, ANSI_CODESET, "UTF-8", REPLACEMENT_CHARACTER);
}

std::string Koi8ToUtf8(std::string_view koi8)
{
    return ConvertTextLossy(koi8, "KOI8-R", "UTF-8", REPLACEMENT_CHARACTER);
}

std::string Utf8ToTerminal(std::string_view utf8)
{
    static const std::string codeset = TerminalCodeset();
    if (codeset == "UTF-8")
        return std::string(utf8);
    try {
        return ConvertTextLossy(utf8, "UTF-8", codeset.c_str(), "?");
    } catch (const TextCodecError &) {
        return std::string(utf8);  // a code set iconv does not know
    }
}

namespace {

constexpr wchar_t WIDE_REPLACEMENT = L'\uFFFD';

std::wstring ToWide(std::string_view text, const char *from)
{
    const std::string bytes =
        ConvertTextLossy(text, from, "WCHAR_T",
                         std::string_view(reinterpret_cast<const char *>(&WIDE_REPLACEMENT), sizeof WIDE_REPLACEMENT));
    std::wstring wide(bytes.size() / sizeof(wchar_t), L'\0');
    std::memcpy(wide.data(), bytes.data(), wide.size() * sizeof(wchar_t));
    return wide;
}

}  // namespace

std::wstring AnsiToWide(std::string_view ansi) { return ToWide(ansi, ANSI_CODESET); }

std::wstring Utf8ToWide(std::string_view utf8) { return ToWide(utf8, "UTF-8"); }

std::optional<std::string> WideToAnsi(std::wstring_view wide)
{
    try {
        return ConvertText(std::string_view(reinterpret_cast<const char *>(wide.data()), wide.size() * sizeof(wchar_t)),
                           "WCHAR_T", ANSI_CODESET);
    } catch (const TextCodecError &) {
        return std::nullopt;
    }
}
