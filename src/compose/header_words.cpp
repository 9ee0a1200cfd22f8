#include "compose/header_words.h"

#include "compose/base64.h"

#include <algorithm>

namespace {

constexpr std::string_view CRLF = "\r\n";
// Room for "Subject: " before a word within HEADER_LINE_LIMIT.
constexpr std::size_t WORD_LIMIT = HEADER_LINE_LIMIT - 9;

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
}

// Whole groups of three bytes, so no word ends in padding but the last.
std::size_t BytesPerWord(std::string_view charset)
{
    const std::size_t frame = charset.size() + 7;  // "=?" charset "?B?" ... "?="
    const std::size_t digits = WORD_LIMIT > frame + 4 ? WORD_LIMIT - frame : 4;
    return digits / 4 * 3;
}

std::string FoldedLine(std::string_view line)
{
    std::string folded;
    std::size_t lineLength = 0;
    std::size_t piecesOnLine = 0;
    bool firstLine = true;
    while (!line.empty()) {
        // A piece runs from a blank (or the start) to the next blank.
        const std::size_t end = std::min(line.find(' ', 1), line.size());
        const std::string_view piece = line.substr(0, end);
        line.remove_prefix(end);
        const bool mayFold = piecesOnLine >= (firstLine ? 2u : 1u) && piece.size() > 1;
        if (mayFold && lineLength + piece.size() > HEADER_LINE_LIMIT) {
            folded += CRLF;
            lineLength = piecesOnLine = 0;
            firstLine = false;
        }
        folded += piece;
        lineLength += piece.size();
        ++piecesOnLine;
    }
    return folded;
}

}  // namespace

std::string EncodedWords(std::string_view text, std::string_view charset)
{
    if (IsAscii(text))
        return std::string(text);
    const std::size_t perWord = BytesPerWord(charset);
    std::string words;
    for (std::size_t start = 0; start < text.size(); start += perWord) {
        if (!words.empty())
            words += ' ';
        words.append("=?").append(charset).append("?B?");
        words.append(Base64(text.substr(start, perWord))).append("?=");
    }
    return words;
}

std::string FoldedLines(std::string_view lines)
{
    std::string folded;
    while (!lines.empty()) {
        const std::size_t end = lines.find(CRLF);
        const std::size_t length = end == std::string_view::npos ? lines.size() : end + CRLF.size();
        const std::string_view line = lines.substr(0, length);
        folded += FoldedLine(line.substr(0, line.ends_with(CRLF) ? line.size() - CRLF.size() : line.size()));
        if (line.ends_with(CRLF))
            folded += CRLF;
        lines.remove_prefix(length);
    }
    return folded;
}
