#include "host/text/nearest_word.h"

#include <algorithm>
#include <cctype>

namespace {

bool SameLetter(char a, char b)
{
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

std::size_t SlipsAllowed(std::string_view word) { return word.size() <= 4 ? 1 : 2; }

}  // namespace

std::size_t TypingDistance(std::string_view a, std::string_view b)
{
    // rows[i][j]: slips between the first i letters of a and the first j of b.
    std::vector<std::vector<std::size_t>> rows(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        rows[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        rows[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t replace = rows[i - 1][j - 1] + (SameLetter(a[i - 1], b[j - 1]) ? 0 : 1);
            rows[i][j] = std::min({rows[i - 1][j] + 1, rows[i][j - 1] + 1, replace});
            if (i > 1 && j > 1 && SameLetter(a[i - 1], b[j - 2]) && SameLetter(a[i - 2], b[j - 1]))
                rows[i][j] = std::min(rows[i][j], rows[i - 2][j - 2] + 1);
        }
    return rows[a.size()][b.size()];
}

std::optional<std::string> NearestWord(std::string_view word, const std::vector<std::string> &candidates)
{
    std::optional<std::string> nearest;
    std::size_t best = SlipsAllowed(word) + 1;
    for (const std::string &candidate : candidates) {
        const std::size_t distance = TypingDistance(word, candidate);
        if (distance < best) {
            best = distance;
            nearest = candidate;
        }
    }
    return nearest;
}
