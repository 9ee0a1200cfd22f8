#include "mail/cyrillic_recoder.h"

namespace {

using Row = std::array<std::uint8_t, 128>;
using LetterBytes = std::array<std::uint8_t, 256>;

constexpr int ALPHABET = 32;  // А..Я without Ё
constexpr std::uint8_t CAPITAL_YO = 0x22;
constexpr std::uint8_t SMALL_YO = 0x86;

// Letter codes of the k-th letter of А..Я (without Ё), k = 0..31.
constexpr std::uint8_t CapitalCode(int k) { return static_cast<std::uint8_t>(k <= 5 ? 0x01 + k : 0x02 + k); }
constexpr std::uint8_t SmallCode(int k) { return static_cast<std::uint8_t>(k <= 5 ? 0x65 + k : 0x66 + k); }

constexpr void Put(Row &row, int byte, std::uint8_t code) { row[static_cast<std::size_t>(byte - 0x80)] = code; }

// Capitals contiguous from `capitals`; the first `lowCount` small letters
// from `smallsLow`, the rest from `smallsHigh`.
constexpr Row MakeRow(int capitals, int smallsLow, int lowCount, int smallsHigh, int capitalYo, int smallYo)
{
    Row row{};
    for (int k = 0; k < ALPHABET; ++k) {
        Put(row, capitals + k, CapitalCode(k));
        Put(row, k < lowCount ? smallsLow + k : smallsHigh + (k - lowCount), SmallCode(k));
    }
    Put(row, capitalYo, CAPITAL_YO);
    Put(row, smallYo, SMALL_YO);
    return row;
}

// KOI8-R places the letters in the order of their Latin transliteration;
// entry j of this list is the alphabet index of the letter at 0xC0 + j.
constexpr int KOI8_ORDER[ALPHABET] = {30, 0,  1,  22, 4,  5,  20, 3,  21, 8,  9,  10, 11, 12, 13, 14,
                                      15, 31, 16, 17, 18, 19, 6,  2,  28, 27, 7,  24, 29, 25, 23, 26};
constexpr int KOI8_SHA_ALIAS = 0xAA;
constexpr int KOI8_SHCHA_ALIAS = 0xAC;

constexpr Row Koi8Row()
{
    Row row{};
    for (int j = 0; j < ALPHABET; ++j) {
        Put(row, 0xE0 + j, CapitalCode(KOI8_ORDER[j]));
        Put(row, 0xC0 + j, SmallCode(KOI8_ORDER[j]));
    }
    Put(row, 0xB3, CAPITAL_YO);
    Put(row, 0xA3, SMALL_YO);
    // Read-only aliases: text written with Ш and Щ here still reads back.
    Put(row, KOI8_SHA_ALIAS, CapitalCode(24));
    Put(row, KOI8_SHCHA_ALIAS, CapitalCode(25));
    return row;
}

constexpr bool IsReadOnlyAlias(unsigned row, int byte)
{
    return row == ROW_KOI8_R && (byte == KOI8_SHA_ALIAS || byte == KOI8_SHCHA_ALIAS);
}

// For each row and letter code, the byte that writes the letter: the smallest
// position holding the code, read-only aliases left out.
constexpr std::array<LetterBytes, CYRILLIC_ROWS> MakeLetterBytes(
    const std::array<Row, CYRILLIC_ROWS> &letters)
{
    std::array<LetterBytes, CYRILLIC_ROWS> bytes{};
    for (unsigned row = 0; row < CYRILLIC_ROWS; ++row)
        for (int i = 127; i >= 0; --i) {
            const std::uint8_t code = letters[row][static_cast<std::size_t>(i)];
            if (code != 0 && !IsReadOnlyAlias(row, 0x80 + i))
                bytes[row][code] = static_cast<std::uint8_t>(0x80 + i);
        }
    return bytes;
}

constexpr std::array<Row, CYRILLIC_ROWS> LETTERS = {
    MakeRow(0xC0, 0xE0, ALPHABET, 0, 0xA8, 0xB8),
    Koi8Row(),
    MakeRow(0x80, 0xA0, 16, 0xE0, 0xF0, 0xF1),
    MakeRow(0x80, 0xE0, 31, 0xDF, 0xDD, 0xDE),
    MakeRow(0xB0, 0xD0, ALPHABET, 0, 0xA1, 0xF1),
};

constexpr std::array<LetterBytes, CYRILLIC_ROWS> LETTER_BYTES = MakeLetterBytes(LETTERS);

// Windows-1251 signs written into KOI8-R: the four that KOI8-R has at their
// places there, the others as their nearest ASCII look-alike. Bytes not
// listed keep their value (letters, letters of other Cyrillic alphabets,
// and 0x98, which Windows-1251 leaves unassigned); the soft hyphen is
// dropped (SOFT_HYPHEN_1251).
struct SignByte {
    int windows1251;
    std::uint8_t koi8;
};
constexpr SignByte SIGNS_1251_TO_KOI8[] = {
    {0x82, ','},  {0x84, '"'},  {0x85, '.'},  {0x86, '+'},  {0x87, '+'},  {0x88, 'E'},  {0x89, '%'},  {0x8B, '<'},
    {0x91, '\''}, {0x92, '\''}, {0x93, '"'},  {0x94, '"'},  {0x95, '*'},  {0x96, '-'},  {0x97, '-'},  {0x99, 'T'},
    {0x9B, '>'},  {0xA0, 0x9A}, {0xA4, '*'},  {0xA6, '|'},  {0xA7, 'S'},  {0xA9, 0xBF}, {0xAB, '"'},  {0xAC, '-'},
    {0xAE, 'R'},  {0xB0, 0x9C}, {0xB1, '+'},  {0xB5, 'u'},  {0xB6, 'P'},  {0xB7, 0x9E}, {0xB9, 'N'},  {0xBB, '"'},
};
constexpr unsigned char SOFT_HYPHEN_1251 = 0xAD;

constexpr Row MakeSignRow()
{
    Row row{};
    for (const SignByte &sign : SIGNS_1251_TO_KOI8)
        Put(row, sign.windows1251, sign.koi8);
    return row;
}

constexpr Row SIGNS_TO_KOI8 = MakeSignRow();

// What an upper-half non-letter becomes: only Windows-1251 into KOI8-R
// rewrites signs; every other pair keeps them.
std::optional<unsigned char> NonLetter(unsigned char byte, unsigned sourceRow, unsigned targetRow)
{
    if (sourceRow != ROW_WINDOWS_1251 || targetRow != ROW_KOI8_R)
        return byte;
    if (byte == SOFT_HYPHEN_1251)
        return std::nullopt;
    const std::uint8_t written = SIGNS_TO_KOI8[byte - 0x80];
    return written != 0 ? written : byte;
}

}  // namespace

const std::array<std::array<std::uint8_t, 128>, CYRILLIC_ROWS> g_cyrillicLetters = LETTERS;

std::optional<unsigned char> RecodedByte(unsigned char byte, unsigned sourceRow, unsigned targetRow)
{
    if (byte < 0x80 || sourceRow >= CYRILLIC_ROWS || targetRow >= CYRILLIC_ROWS)
        return byte;
    const std::uint8_t code = LETTERS[sourceRow][byte - 0x80];
    return code != 0 ? LETTER_BYTES[targetRow][code] : NonLetter(byte, sourceRow, targetRow);
}

std::size_t RecodeCyrillic(unsigned char *buffer, std::size_t length, unsigned sourceRow, unsigned targetRow)
{
    std::size_t written = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (const std::optional<unsigned char> byte = RecodedByte(buffer[i], sourceRow, targetRow))
            buffer[written++] = *byte;
    }
    return written;
}
