// The canceller worker: stops the running sender, discards every queued
// message and reports "Abort by user". It runs on its own thread, started
// by the dispatcher on Cancel.
#pragma once

#include "platform/win_types.h"

DWORD CancellerThread();
