// The objects that exist from load to unload (globals.cpp), and how suites
// that load and close the plug-in many times in one process put them back.
#pragma once

#include "platform/win_types.h"

// The workers' time-outs as the library starts with them.
constexpr DWORD DISPATCH_TIMEOUT_MS = 60000;
constexpr DWORD DISPATCHER_STOP_TIMEOUT_MS = 5000;
constexpr DWORD WORKER_STOP_TIMEOUT_MS = 5000;

// Puts every object of globals.cpp back as loading the library left it:
// events not signalled, no games, an empty queue and working record, no
// host window, status 0, the time-outs above. Only while no plug-in thread
// runs.
void ResetPluginGlobals();
