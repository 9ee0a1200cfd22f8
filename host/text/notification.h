// One notification as the host keeps it: the plug-in's payload copied while
// the window procedure ran, since the pointers die when it returns.
#pragma once

#include "platform/map_string_to_string.h"
#include "platform/win_types.h"

#include <string>

struct HostNotification {
    WPARAM kind = 0;
    std::string text;           // text: the Windows-1251 bytes up to the NUL
    DWORD status = 0;           // status word
    CMapStringToString record;  // sent: a copy of the delivered record
};
