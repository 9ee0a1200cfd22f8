#include "compose/body_text.h"

#include <optional>
#include <string>

namespace {

std::optional<char> Mapped(char ch, const ByteMap *map)
{
    if (!map)
        return ch;
    const std::optional<unsigned char> byte = (*map)[static_cast<unsigned char>(ch)];
    return byte ? std::optional<char>(static_cast<char>(*byte)) : std::nullopt;
}

// The index of the first byte at or after `from` that the map keeps, or
// the text's size.
std::size_t NextKept(std::string_view text, std::size_t from, const ByteMap *map)
{
    while (from < text.size() && !Mapped(text[from], map))
        ++from;
    return from;
}

// Hands the rewritten text to `emit` byte by byte, in order.
template <typename Emit>
void Rewrite(std::string_view text, const ByteMap *map, Emit emit)
{
    bool lineStart = true;
    for (std::size_t i = NextKept(text, 0, map); i < text.size(); i = NextKept(text, i + 1, map)) {
        const char ch = *Mapped(text[i], map);
        if (lineStart && ch == '.')
            emit('.');
        if (ch == '\r' || ch == '\n') {
            emit('\r');
            emit('\n');
            const std::size_t next = NextKept(text, i + 1, map);
            if (ch == '\r' && next < text.size() && Mapped(text[next], map) == '\n')
                i = next;
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
