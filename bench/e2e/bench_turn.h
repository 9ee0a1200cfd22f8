// The turns the end-to-end benchmark sends: a game's orders in
// Windows-1251, as a host hands them to Send, and the DATA stream the other
// clients send in their place (the same header and body lengths).
#pragma once

#include <cstddef>
#include <string>

constexpr const char *BENCH_GAME = "Bench";
constexpr const char *BENCH_FROM = "player@localhost";
constexpr const char *BENCH_TO = "server@localhost";
constexpr const char *BENCH_SUBJECT = "\xD5\xEE\xE4";  // "Hod" (move), in Cyrillic

// About `bytes` of order lines, each ending in CR LF; with `dotLines`,
// every thousandth line starts with a dot, for the dot-stuffing.
std::string TurnBody(std::size_t bytes, bool dotLines = false);
// The header block the plug-in writes for a turn, then `body`.
std::string TurnContent(const std::string &body);
