#include "host/text/terminal_codeset.h"

#include "host/os/text_converter.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

constexpr const char *UTF8 = "UTF-8";

std::string Upper(std::string_view text)
{
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char ch) { return std::toupper(ch); });
    return upper;
}

bool IsUtf8Name(std::string_view codeset)
{
    const std::string upper = Upper(codeset);
    return upper == "UTF-8" || upper == "UTF8";
}

// "ru_RU.KOI8-R@modifier" holds "KOI8-R"; empty without a code set.
std::string_view CodesetOfName(std::string_view name)
{
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos)
        return {};
    const std::string_view rest = name.substr(dot + 1);
    return rest.substr(0, rest.find('@'));
}

// The first of the variables that is set and not empty.
std::string_view LocaleName()
{
    for (const char *variable : {"LC_ALL", "LC_CTYPE", "LANG"})
        if (const char *value = std::getenv(variable); value && *value)
            return value;
    return {};
}

}  // namespace

std::string ChooseTerminalCodeset(std::string_view localeName, std::string_view installedCodeset)
{
    if (localeName.empty() || localeName == "C" || localeName == "POSIX")
        return UTF8;
    const std::string_view named = CodesetOfName(localeName);
    if (!named.empty())
        return IsUtf8Name(named) ? UTF8 : std::string(named);
    // A locale that is not installed leaves the C library in plain ASCII.
    if (installedCodeset.empty() || installedCodeset == "ANSI_X3.4-1968" || IsUtf8Name(installedCodeset))
        return UTF8;
    return std::string(installedCodeset);
}

std::string TerminalCodeset()
{
    return ChooseTerminalCodeset(LocaleName(), LocaleCodeset());
}
