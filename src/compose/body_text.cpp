#include "compose/body_text.h"

#include <string>

namespace {

struct BodySteps {
    const ByteMap *map;  // null: bytes as they are
    bool lineEnds;       // NormalizeLineEnds
    bool dots;           // StuffDots
};

char Mapped(char ch, const ByteMap *map)
{
    return map ? static_cast<char>((*map)[static_cast<unsigned char>(ch)]) : ch;
}

// Hands the rewritten text to `emit` byte by byte, in order.
template <typename Emit>
void Rewrite(std::string_view text, BodySteps steps, Emit emit)
{
    bool lineStart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = Mapped(text[i], steps.map);
        if (steps.dots && lineStart && ch == '.')
            emit('.');
        if (steps.lineEnds && (ch == '\r' || ch == '\n')) {
            emit('\r');
            emit('\n');
            if (ch == '\r' && i + 1 < text.size() && Mapped(text[i + 1], steps.map) == '\n')
                ++i;
            lineStart = true;
            continue;
        }
        emit(ch);
        lineStart = ch == '\n';
    }
}

// A first pass measures, so that the result is allocated once.
std::string Rewritten(std::string_view text, BodySteps steps)
{
    std::size_t size = 0;
    Rewrite(text, steps, [&](char) { ++size; });
    std::string result;
    result.reserve(size);
    Rewrite(text, steps, [&](char ch) { result.push_back(ch); });
    return result;
}

}  // namespace

void NormalizeLineEnds(CString &text) { text = CString(Rewritten(text.view(), {nullptr, true, false})); }

void StuffDots(CString &text) { text = CString(Rewritten(text.view(), {nullptr, false, true})); }

CString BodyForData(std::string_view text, const ByteMap *map) { return CString(Rewritten(text, {map, true, true})); }
