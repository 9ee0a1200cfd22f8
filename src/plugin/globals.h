// The workers' time-outs as loading the library sets them (globals.cpp
// holds the objects that exist from load to unload).
#pragma once

#include "platform/win_types.h"

constexpr DWORD DISPATCH_TIMEOUT_MS = 60000;
constexpr DWORD DISPATCHER_STOP_TIMEOUT_MS = 5000;
constexpr DWORD WORKER_STOP_TIMEOUT_MS = 5000;
