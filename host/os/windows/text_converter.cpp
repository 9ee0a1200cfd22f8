#include "host/os/text_converter.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <stdexcept>

namespace {

// The wide characters' side of a conversion: UTF-16 as it is, no code page.
constexpr UINT WIDE = 1200;

UINT CodePageOf(std::string_view given)
{
    std::string name(given);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char ch) { return std::toupper(ch); });
    if (name == "UTF-8")
        return CP_UTF8;
    if (name == "WINDOWS-1251")
        return 1251;
    if (name == "KOI8-R")
        return 20866;
    if (name == "WCHAR_T")
        return WIDE;
    throw std::invalid_argument("no code page for " + std::string(name));
}

int Length(std::size_t size) { return static_cast<int>(size); }

std::optional<std::wstring> ToWide(UINT codePage, std::string_view text)
{
    if (text.empty())
        return std::wstring();
    if (codePage == WIDE) {
        std::wstring wide(text.size() / sizeof(wchar_t), L'\0');
        std::memcpy(wide.data(), text.data(), wide.size() * sizeof(wchar_t));
        return wide;
    }
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), Length(text.size()), nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), Length(text.size()), wide.data(), length);
    return wide;
}

// Nothing when a character has no place in the code page: no best fit, no
// default character.
std::optional<std::string> FromWide(UINT codePage, std::wstring_view wide)
{
    if (wide.empty())
        return std::string();
    if (codePage == WIDE)
        return std::string(reinterpret_cast<const char *>(wide.data()), wide.size() * sizeof(wchar_t));
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL defaulted = FALSE;
    BOOL *usedDefault = utf8 ? nullptr : &defaulted;
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), Length(wide.size()), nullptr, 0, nullptr, usedDefault);
    if (length <= 0 || defaulted)
        return std::nullopt;
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), Length(wide.size()), text.data(), length, nullptr, nullptr);
    return text;
}

// The bytes of the character that starts at `at`.
std::size_t CharacterLength(UINT codePage, std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 1;
    if (codePage == WIDE) {
        // Little-endian: a high surrogate's second byte starts a pair.
        const unsigned high = at + 1 < text.size() ? static_cast<unsigned char>(text[at + 1]) : 0;
        length = (high & 0xFC) == 0xD8 ? 4 : 2;
    } else if (codePage == CP_UTF8)
        length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return std::min(length, text.size() - at);
}

}  // namespace

struct TextConverter::Converter {
    UINT from;
    UINT to;

    std::optional<std::string> Whole(std::string_view text) const
    {
        const std::optional<std::wstring> wide = ToWide(from, text);
        return wide ? FromWide(to, *wide) : std::nullopt;
    }
};

TextConverter::TextConverter(const char *from, const char *to)
    : m_converter(std::make_unique<Converter>(Converter{CodePageOf(from), CodePageOf(to)}))
{
}

TextConverter::~TextConverter() = default;

std::size_t TextConverter::Convert(std::string_view text, std::size_t offset, std::string &out)
{
    if (const std::optional<std::string> whole = m_converter->Whole(text.substr(offset))) {
        out += *whole;
        return text.size();
    }
    // Character by character, to find the first that does not convert.
    while (offset < text.size()) {
        const std::size_t length = CharacterLength(m_converter->from, text, offset);
        const std::optional<std::string> converted = m_converter->Whole(text.substr(offset, length));
        if (!converted)
            return offset;
        out += *converted;
        offset += length;
    }
    return offset;
}

std::string LocaleCodeset() { return "UTF-8"; }
