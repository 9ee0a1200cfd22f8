// Version blocks of loaded modules. A module carries its version as an ELF
// note (owner "MORV", type 1, the version text such as "1.2.3.4"), which
// `readelf -n` also shows; the note takes the place of a version resource.
#pragma once

#include "platform/cstring.h"

// The version text of the loaded module that contains `address` (any code
// or data address in it, e.g. a dlsym result); empty when it carries none.
CString GetModuleVersion(const void *address);
