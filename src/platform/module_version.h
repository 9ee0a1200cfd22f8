// Version blocks of loaded modules. On Windows a module carries its version
// as a VERSIONINFO resource; here as an ELF note (owner "MORV", type 1, the
// version text such as "1.2.3.4"), which `readelf -n` also shows, in place
// of a version resource.
#pragma once

#include "platform/cstring.h"

// The version text of the loaded module that contains `address` (any code
// or data address in it, e.g. a dlsym result), "1.2.3.4" (on Windows the
// fixed file version); empty when it carries none.
CString GetModuleVersion(const void *address);
