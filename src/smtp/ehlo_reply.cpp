#include "smtp/ehlo_reply.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

std::string Upper(std::string_view text)
{
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    return upper;
}

// The next word of `text`, separated by blanks or "="; `text` loses it.
std::string_view NextWord(std::string_view &text)
{
    const std::size_t start = std::min(text.find_first_not_of(" ="), text.size());
    const std::size_t end = std::min(text.find_first_of(" =", start), text.size());
    const std::string_view word = text.substr(start, end - start);
    text.remove_prefix(end);
    return word;
}

void ReadKeywordLine(std::string_view line, EhloOffers &offers)
{
    const std::string keyword = Upper(NextWord(line));
    offers.startTls |= keyword == "STARTTLS";
    offers.size |= keyword == "SIZE";
    offers.eightBitMime |= keyword == "8BITMIME";
    offers.pipelining |= keyword == "PIPELINING";
    if (keyword != "AUTH")
        return;
    for (std::string_view word = NextWord(line); !word.empty(); word = NextWord(line)) {
        const std::string mechanism = Upper(word);
        offers.authPlain |= mechanism == "PLAIN";
        offers.authLogin |= mechanism == "LOGIN";
    }
}

}  // namespace

EhloOffers ParseEhloReply(std::string_view reply)
{
    EhloOffers offers;
    bool first = true;
    while (!reply.empty()) {
        const std::size_t end = std::min(reply.find("\r\n"), reply.size());
        const std::string_view line = reply.substr(0, end);
        reply.remove_prefix(std::min(end + 2, reply.size()));
        if (!first && line.size() > 4)
            ReadKeywordLine(line.substr(4), offers);
        first = false;
    }
    return offers;
}

AuthMechanism ChooseAuthMechanism(const EhloOffers &offers)
{
    if (offers.authPlain)
        return AuthMechanism::Plain;
    return offers.authLogin ? AuthMechanism::Login : AuthMechanism::None;
}

std::string MailFromParameters(const EhloOffers &offers, std::size_t size)
{
    std::string parameters;
    if (offers.size)
        parameters += " SIZE=" + std::to_string(size);
    if (offers.eightBitMime)
        parameters += " BODY=8BITMIME";
    return parameters;
}
