// The encoding human output is written in. The locale's name decides, as
// the user set it (LC_ALL, else LC_CTYPE, else LANG): a name that says
// UTF-8 means UTF-8 even when that locale is not installed; no locale at
// all, C or POSIX means UTF-8 too, so Russian texts are never lost to "?".
// A name with another code set (ru_RU.KOI8-R) means that code set; a name
// without one, the code set of the installed locale.
#pragma once

#include <string>
#include <string_view>

// Pure: `localeName` as in the environment, `installedCodeset` what the
// C library reports for it (nl_langinfo(CODESET)), empty when unknown.
std::string ChooseTerminalCodeset(std::string_view localeName, std::string_view installedCodeset);

// The encoding for this process's terminal, from its environment.
std::string TerminalCodeset();
