#include "compose/body_text.h"

#include <string>

void NormalizeLineEnds(CString &text)
{
    const std::string_view source = text.view();
    std::string result;
    result.reserve(source.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
        const char ch = source[i];
        if (ch == '\r' || ch == '\n') {
            result += "\r\n";
            if (ch == '\r' && i + 1 < source.size() && source[i + 1] == '\n')
                ++i;
        } else {
            result += ch;
        }
    }
    text = CString(std::move(result));
}

void StuffDots(CString &text)
{
    const std::string_view source = text.view();
    std::string result;
    result.reserve(source.size());
    bool lineStart = true;
    for (const char ch : source) {
        if (lineStart && ch == '.')
            result += '.';
        result += ch;
        lineStart = ch == '\n';
    }
    text = CString(std::move(result));
}
