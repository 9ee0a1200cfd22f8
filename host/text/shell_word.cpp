#include "host/text/shell_word.h"

#include <string_view>

namespace {

constexpr std::string_view PLAIN_CHARACTERS =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789@%+=:,./_-";

}  // namespace

std::string ShellWord(const std::string &word)
{
    if (!word.empty() && word.find_first_not_of(PLAIN_CHARACTERS) == std::string::npos)
        return word;
    std::string quoted = "'";
    for (const char ch : word)
        quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return quoted + "'";
}
