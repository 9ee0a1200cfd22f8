#include "compose/body_text.h"

#include <string>

namespace {

char Mapped(char ch, const ByteMap *map)
{
    return map ? static_cast<char>((*map)[static_cast<unsigned char>(ch)]) : ch;
}

// Hands the rewritten text to `emit` byte by byte, in order.
template <typename Emit>
void Rewrite(std::string_view text, const ByteMap *map, Emit emit)
{
    bool lineStart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = Mapped(text[i], map);
        if (lineStart && ch == '.')
            emit('.');
        if (ch == '\r' || ch == '\n') {
            emit('\r');
            emit('\n');
            if (ch == '\r' && i + 1 < text.size() && Mapped(text[i + 1], map) == '\n')
                ++i;
            lineStart = true;
            continue;
        }
        emit(ch);
        lineStart = false;
    }
}

// A first pass measures, so that the result is allocated once.
std::string Rewritten(std::string_view text, const ByteMap *map)
{
    std::size_t size = 0;
    Rewrite(text, map, [&](char) { ++size; });
    std::string result;
    result.reserve(size);
    Rewrite(text, map, [&](char ch) { result.push_back(ch); });
    return result;
}

}  // namespace

void StuffDots(CString &text, const ByteMap *map) { text = CString(Rewritten(text.view(), map)); }
