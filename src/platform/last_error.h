// The calling thread's last-error value. Each thread has its own; it starts
// at 0. Socket failures copy errno into it; the codes the system sets itself
// keep their Windows numbers (win_types.h). On Windows these are the
// system's own calls.
#pragma once

#include "platform/win_types.h"

#if !defined(_WIN32)
DWORD GetLastError();
void SetLastError(DWORD code);
void WSASetLastError(int code);
#endif
