// The checker worker: raises and lowers TS_CHECKING, nothing else. It runs
// on its own thread, started by the dispatcher on Check and on every
// time-out.
#pragma once

#include "platform/win_types.h"

DWORD CheckerThread();
