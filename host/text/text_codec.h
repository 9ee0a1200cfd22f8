// Conversions between the encodings the host meets: UTF-8 (terminal,
// project file, porcelain output), Windows-1251 (everything the plug-in
// sees and sends) and KOI8-R (what reaches the SMTP server). Built on iconv;
// stateless functions, safe on any thread.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

class TextCodecError : public std::runtime_error {
public:
    explicit TextCodecError(const std::string &what, std::size_t offset = 0)
        : std::runtime_error(what), m_offset(offset) {}
    // Where the text stopped converting.
    std::size_t Offset() const { return m_offset; }

private:
    std::size_t m_offset;
};

// Strict: throws TextCodecError naming the byte offset of the first
// character the target cannot hold.
std::string ConvertText(std::string_view text, const char *from, const char *to);
// Lossy: every byte that cannot be converted becomes `replacement`.
std::string ConvertTextLossy(std::string_view text, const char *from, const char *to,
                             std::string_view replacement);

std::string Utf8ToAnsi(std::string_view utf8);          // strict
std::string AnsiToUtf8(std::string_view ansi);          // lossy, U+FFFD
std::string Koi8ToUtf8(std::string_view koi8);          // lossy, U+FFFD
// The text in the terminal's encoding (terminal_codeset.h), lossy.
std::string Utf8ToTerminal(std::string_view utf8);
// Wide characters, which a terminal library writes and reads in whatever
// encoding the locale names.
std::wstring AnsiToWide(std::string_view ansi);  // lossy, U+FFFD
std::wstring Utf8ToWide(std::string_view utf8);  // lossy, U+FFFD
// Nothing when Windows-1251 cannot hold the text.
std::optional<std::string> WideToAnsi(std::wstring_view wide);
