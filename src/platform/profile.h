// The user's WIN.INI profile. On Windows it is the system's (GetProfileIntA
// and the rest). Here it is an INI file of sections and "key=value" lines:
// the file named by MORV_WIN_INI when that is set and non-empty, else
// $XDG_CONFIG_HOME/morvtransport/win.ini, with ~/.config standing in for an
// unset or relative XDG_CONFIG_HOME. Read afresh on each call; safe from any
// thread as long as nobody changes the environment.
#pragma once

#include "platform/cstring.h"
#include "platform/win_types.h"

#include <string_view>

#if !defined(_WIN32)
inline constexpr const char *WIN_INI_VARIABLE = "MORV_WIN_INI";

// The path of the WIN.INI file; empty when no home folder is known.
CString GetProfilePath();

// The integer under `key` in `section` of WIN.INI. Names compare without
// regard to letter case. A missing file, section or key, or an empty value,
// reads as `defaultValue`; a value without leading digits reads as 0, a
// negative one as 0.
UINT GetProfileIntA(const char *section, const char *key, int defaultValue);
#endif

// The rule of GetProfileIntA over the text of an INI file.
UINT ProfileIntFromText(std::string_view text, std::string_view section, std::string_view key,
                        int defaultValue);
