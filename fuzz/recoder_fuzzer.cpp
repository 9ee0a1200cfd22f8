// The recoder between every pair of rows: length preserved (but for the
// soft hyphens that Windows-1251 into KOI8-R drops), bytes below 0x80
// untouched, non-letters untouched (but for the signs that Windows-1251
// into KOI8-R rewrites), and letters come back unchanged after a round trip.
#include "mail/cyrillic_recoder.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const unsigned from = data[0] % CYRILLIC_ROWS;
    const unsigned to = (data[0] / CYRILLIC_ROWS) % CYRILLIC_ROWS;
    const bool rewritesSigns = from == ROW_WINDOWS_1251 && to == ROW_KOI8_R;
    std::vector<unsigned char> text(data + 1, data + size);
    // What stays of the input, byte for byte beside the recoded text.
    std::vector<unsigned char> original = text;
    if (rewritesSigns)
        std::erase(original, 0xAD);
    if (RecodeCyrillic(text.data(), text.size(), from, to) != original.size())
        std::abort();
    text.resize(original.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = original[i];
        if (byte < 0x80 && text[i] != byte)
            std::abort();
        const bool isLetter = byte >= 0x80 && g_cyrillicLetters[from][byte - 0x80] != 0;
        if (!isLetter && !rewritesSigns && text[i] != byte)
            std::abort();
        // A rewritten sign never turns into a letter.
        if (!isLetter && text[i] != byte && text[i] >= 0x80 && g_cyrillicLetters[to][text[i] - 0x80] != 0)
            std::abort();
        if (isLetter && g_cyrillicLetters[to][text[i] - 0x80] != g_cyrillicLetters[from][byte - 0x80])
            std::abort();
    }
    std::vector<unsigned char> back = text;
    // A way back that drops signs moves the letters; they are checked above.
    if (RecodeCyrillic(back.data(), back.size(), to, from) != back.size())
        return 0;
    for (std::size_t i = 0; i < back.size(); ++i) {
        const unsigned char byte = original[i];
        const bool isLetter = byte >= 0x80 && g_cyrillicLetters[from][byte - 0x80] != 0;
        // A letter comes back as the same letter; at its standard place
        // unless it was written at a read-only alias.
        if (isLetter && g_cyrillicLetters[from][back[i] - 0x80] != g_cyrillicLetters[from][byte - 0x80])
            std::abort();
    }
    return 0;
}
