#include "bench/e2e/bench_turn.h"

namespace {

// "Army 3 from A5 to B7, fleet 12 holds" with the Cyrillic words.
constexpr const char *ORDER = ": \xE0\xF0\xEC\xE8\xFF 3 A5-B7, \xF4\xEB\xEE\xF2 12 \xF1\xF2\xEE\xE8\xF2\r\n";
constexpr std::size_t DOT_EVERY = 1000;

}  // namespace

std::string TurnBody(std::size_t bytes, bool dotLines)
{
    std::string body;
    body.reserve(bytes + 64);
    for (std::size_t line = 0; body.size() < bytes; ++line) {
        if (dotLines && line % DOT_EVERY == DOT_EVERY - 1)
            body += ".";
        body += std::to_string(line) + ORDER;
    }
    return body;
}

std::string TurnContent(const std::string &body)
{
    return std::string("From: ") + BENCH_FROM + "\r\nTo: " + BENCH_TO + "\r\nSubject: " + BENCH_SUBJECT + "\r\n\r\n" +
           body;
}
