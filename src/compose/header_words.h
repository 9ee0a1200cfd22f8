// Header text as RFC 2047 and RFC 5322 want it on its way to a mail
// provider: 8-bit text in encoded words that name its charset, and long
// lines folded. Pure functions.
#pragma once

#include <string>
#include <string_view>

// The longest line a header field written with these takes where its
// blanks allow; a line that holds an encoded word may take no more.
constexpr std::size_t HEADER_LINE_LIMIT = 76;

// `text` as it is when every byte is ASCII; otherwise encoded words
// ("=?KOI8-R?B?...?=") of `charset` joined by blanks, each short enough to
// stand in one line after a field's name.
std::string EncodedWords(std::string_view text, std::string_view charset);

// Each CR LF-ended line of `lines` folded: CR LF goes before a blank
// wherever the line would run past HEADER_LINE_LIMIT, never right after
// the field's name and never so that a line holds only blanks. Folding
// changes no field's meaning.
std::string FoldedLines(std::string_view lines);
