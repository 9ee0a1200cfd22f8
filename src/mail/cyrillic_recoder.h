// The Cyrillic recoder: rewrites the letters of the Russian alphabet between
// five 8-bit code pages, in place. Bytes below 0x80
// pass unchanged. Upper-half bytes that are no letter in the source page
// pass unchanged too, except from Windows-1251 into KOI8-R: there the signs
// (punctuation, no-break space, ...) are written at their KOI8-R places, or
// as their nearest ASCII look-alike where KOI8-R has none, and the soft
// hyphen, which no reader should see, is dropped. Stateless; any thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

enum CyrillicRow : unsigned {
    ROW_WINDOWS_1251 = 0,
    ROW_KOI8_R = 1,
    ROW_CP866 = 2,
    ROW_MAC_CYRILLIC = 3,
    ROW_ISO_8859_5 = 4,
};
constexpr unsigned CYRILLIC_ROWS = 5;

// Entry i of row r: the letter code of byte 0x80 + i in code page r, or 0.
// Capitals А..Я (without Ё) are 0x01..0x21 skipping 0x07, Ё is 0x22;
// small letters а..я are 0x65..0x85 skipping 0x6B, ё is 0x86.
extern const std::array<std::array<std::uint8_t, 128>, CYRILLIC_ROWS> g_cyrillicLetters;

// What `byte` becomes from code page `sourceRow` into `targetRow`; nothing
// when the recoding drops it. Rows outside 0..4 keep every byte.
std::optional<unsigned char> RecodedByte(unsigned char byte, unsigned sourceRow, unsigned targetRow);

// Recodes `length` bytes of `buffer` from code page `sourceRow` to
// `targetRow`, in place, and returns the length of the recoded text: less
// than `length` by the bytes dropped.
std::size_t RecodeCyrillic(unsigned char *buffer, std::size_t length, unsigned sourceRow, unsigned targetRow);
