// The recoder checked against the C library's iconv as an independent
// reference, for every pair of its five code pages.
#include "mail/cyrillic_recoder.h"

#include <iconv.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

namespace {

const char *const CHARSETS[CYRILLIC_ROWS] = {"CP1251", "KOI8-R", "CP866", "MACCYRILLIC", "ISO-8859-5"};

std::optional<std::string> Convert(const std::string &text, const char *from, const char *to)
{
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string input = text;
    std::string output(text.size() * 4 + 8, '\0');
    char *in = input.data();
    char *out = output.data();
    std::size_t inLeft = input.size(), outLeft = output.size();
    const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1))
        return std::nullopt;
    output.resize(output.size() - outLeft);
    return output;
}

// The 66 letters of the Russian alphabet, each as UTF-8.
std::vector<std::string> RussianLetters()
{
    std::vector<std::string> letters;
    auto add = [&](unsigned codePoint) {
        letters.push_back({static_cast<char>(0xC0 | (codePoint >> 6)), static_cast<char>(0x80 | (codePoint & 0x3F))});
    };
    for (unsigned codePoint = 0x410; codePoint <= 0x44F; ++codePoint)
        add(codePoint);
    add(0x401);
    add(0x451);
    return letters;
}

std::string Recoded(std::string bytes, unsigned from, unsigned to)
{
    bytes.resize(RecodeCyrillic(reinterpret_cast<unsigned char *>(bytes.data()), bytes.size(), from, to));
    return bytes;
}

TEST(CyrillicRecoderTest, EveryLetterBetweenEveryPairOfRowsMatchesIconv)
{
    for (unsigned from = 0; from < CYRILLIC_ROWS; ++from)
        for (unsigned to = 0; to < CYRILLIC_ROWS; ++to)
            for (const std::string &letter : RussianLetters()) {
                const auto source = Convert(letter, "UTF-8", CHARSETS[from]);
                const auto expected = Convert(letter, "UTF-8", CHARSETS[to]);
                ASSERT_TRUE(source && expected);
                EXPECT_EQ(Recoded(*source, from, to), *expected)
                    << CHARSETS[from] << " -> " << CHARSETS[to] << " letter " << letter;
            }
}

TEST(CyrillicRecoderTest, UpperHalfBytesThatAreNoLetterPassUnchanged)
{
    const auto letters = RussianLetters();
    for (unsigned from = 0; from < CYRILLIC_ROWS; ++from)
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const std::string source(1, static_cast<char>(byte));
            const auto decoded = Convert(source, CHARSETS[from], "UTF-8");
            const bool isLetter = decoded && std::find(letters.begin(), letters.end(), *decoded) != letters.end();
            const bool isAlias = from == ROW_KOI8_R && (byte == 0xAA || byte == 0xAC);
            if (isLetter || isAlias)
                continue;
            for (unsigned to = 0; to < CYRILLIC_ROWS; ++to) {
                const bool rewritesSigns = from == ROW_WINDOWS_1251 && to == ROW_KOI8_R;  // the next test
                EXPECT_TRUE(rewritesSigns || Recoded(source, from, to) == source) << CHARSETS[from] << " byte " << byte;
            }
        }
}

TEST(CyrillicRecoderTest, BytesBelow0x80AndEmptyBuffersAreUntouched)
{
    std::string ascii;
    for (int byte = 0; byte < 0x80; ++byte)
        ascii += static_cast<char>(byte);
    EXPECT_EQ(Recoded(ascii, ROW_WINDOWS_1251, ROW_KOI8_R), ascii);

    unsigned char buffer[] = {0xC0};
    RecodeCyrillic(buffer, 0, ROW_WINDOWS_1251, ROW_KOI8_R);
    EXPECT_EQ(buffer[0], 0xC0);
}

TEST(CyrillicRecoderTest, ShaAndShchaAreWrittenAtTheirKoi8Places)
{
    // Ш and Щ in Windows-1251.
    EXPECT_EQ(Recoded("\xD8\xD9", ROW_WINDOWS_1251, ROW_KOI8_R), "\xFB\xFD");
    // The old box-drawing positions still read back as the letters.
    EXPECT_EQ(Recoded("\xAA\xAC", ROW_KOI8_R, ROW_WINDOWS_1251), "\xD8\xD9");
}

// Windows-1251 signs into KOI8-R: what KOI8-R has arrives as the same
// character, the invisible soft hyphen not at all, everything else that is
// no letter as one printable ASCII byte.
TEST(CyrillicRecoderTest, Windows1251SignsArriveInKoi8AsThemselvesOrAsciiLookAlikes)
{
    const auto letters = RussianLetters();
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const std::string source(1, static_cast<char>(byte));
        const auto character = Convert(source, "CP1251", "UTF-8");
        if (!character || std::find(letters.begin(), letters.end(), *character) != letters.end())
            continue;
        const std::string recoded = Recoded(source, ROW_WINDOWS_1251, ROW_KOI8_R);
        if (*character == "\u00AD") {
            EXPECT_EQ(recoded, "");
            continue;
        }
        ASSERT_EQ(recoded.size(), 1u);
        const auto inKoi8 = Convert(*character, "UTF-8", "KOI8-R");
        // U+0400..U+04FF start with 0xD0..0xD3 in UTF-8.
        const bool otherAlphabet = (static_cast<unsigned char>((*character)[0]) & 0xFC) == 0xD0;
        if (inKoi8)
            EXPECT_EQ(recoded, *inKoi8) << *character;
        else if (otherAlphabet)
            EXPECT_EQ(recoded, source) << *character << " is a letter of another alphabet";
        else
            EXPECT_TRUE(std::isgraph(static_cast<unsigned char>(recoded[0]))) << *character;
    }
    const std::string turn = *Convert("«Ход — e2–e4…» № 7 § 2 „x“ 5 µs Ход\u00ADа", "UTF-8", "CP1251");
    EXPECT_EQ(Recoded(turn, ROW_WINDOWS_1251, ROW_KOI8_R),
              "\"\xE8\xCF\xC4 - e2-e4.\" N 7 S 2 \"x\" 5 us \xE8\xCF\xC4\xC1");
}

TEST(CyrillicRecoderTest, RowsOutsideTheTableLeaveTheBufferAlone)
{
    EXPECT_EQ(Recoded("\xC0", ROW_WINDOWS_1251, CYRILLIC_ROWS), "\xC0");
    EXPECT_EQ(Recoded("\xC0", 7, ROW_KOI8_R), "\xC0");
}

}  // namespace
