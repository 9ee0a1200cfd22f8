// TextConverter: turns text of one encoding into another as far as it can
// (iconv here; MultiByteToWideChar and WideCharToMultiByte with the code
// pages 65001, 1251 and 20866 on Windows). The encodings by name: "UTF-8",
// "WINDOWS-1251", "KOI8-R" and "WCHAR_T", the wide characters of the system,
// in any letter case;
// here also any other name iconv knows. One thread at a time.
#pragma once

#include <memory>
#include <string>
#include <string_view>

class TextConverter {
public:
    // Throws std::invalid_argument when the system has no such conversion.
    TextConverter(const char *from, const char *to);
    ~TextConverter();
    TextConverter(const TextConverter &) = delete;
    TextConverter &operator=(const TextConverter &) = delete;

    // Appends to `out` the text from `offset` on, converted up to the first
    // character it cannot convert, and returns the offset of that character
    // (text.size() when everything was converted).
    std::size_t Convert(std::string_view text, std::size_t offset, std::string &out);

private:
    struct Converter;
    std::unique_ptr<Converter> m_converter;
};

// The code set of the locale the C library runs in (nl_langinfo(CODESET));
// on Windows "UTF-8", the code page of the console's output (ProcessSetup).
std::string LocaleCodeset();
