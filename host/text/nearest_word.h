// The word a person most likely meant: for a mistyped command or key,
// the candidate within a few typing slips (a letter wrong, missing, added,
// or two neighbours swapped; letter case is no slip). Pure functions.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The number of slips between two words (optimal string alignment
// distance, letter case ignored).
std::size_t TypingDistance(std::string_view a, std::string_view b);

// The candidate nearest to `word` if it is close enough to be a slip (one
// slip for words of up to four letters, two for longer ones); the first
// of equally near ones.
std::optional<std::string> NearestWord(std::string_view word, const std::vector<std::string> &candidates);
