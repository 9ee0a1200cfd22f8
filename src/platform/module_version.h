// Version blocks of loaded modules. A module carries its version as an ELF
// note (owner "MORV", type 1, the version text as "1.0.0.1"), which
// `readelf -n` also shows; the note takes the place of a version resource.
#pragma once

#include "platform/cstring.h"

// The version text of the loaded module that contains `address` (any code
// or data address in it, e.g. a dlsym result); empty when it carries none.
CString GetModuleVersion(const void *address);
