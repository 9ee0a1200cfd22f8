#include "host/os/text_converter.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <stdexcept>

struct TextConverter::Converter {
    iconv_t handle;
};

TextConverter::TextConverter(const char *from, const char *to)
{
    const iconv_t handle = iconv_open(to, from);
    if (handle == reinterpret_cast<iconv_t>(-1))
        throw std::invalid_argument(std::string("no conversion from ") + from + " to " + to);
    m_converter = std::make_unique<Converter>(Converter{handle});
}

TextConverter::~TextConverter() { iconv_close(m_converter->handle); }

std::size_t TextConverter::Convert(std::string_view text, std::size_t offset, std::string &out)
{
    // A stop leaves iconv's shift state behind; start afresh.
    iconv(m_converter->handle, nullptr, nullptr, nullptr, nullptr);
    char *input = const_cast<char *>(text.data()) + offset;
    std::size_t inputLeft = text.size() - offset;
    char buffer[4096];
    while (inputLeft > 0) {
        char *output = buffer;
        std::size_t outputLeft = sizeof buffer;
        const std::size_t result = iconv(m_converter->handle, &input, &inputLeft, &output, &outputLeft);
        out.append(buffer, static_cast<std::size_t>(output - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG)
            break;
    }
    return text.size() - inputLeft;
}

std::string LocaleCodeset()
{
    const char *codeset = nl_langinfo(CODESET);
    return codeset ? codeset : "";
}
