// The dispatcher thread, its own start and stop, and the start and stop of
// the workers. The dispatcher runs from OnLoad to OnClose and is the only
// thread that starts workers; StopWorkers runs on the host's thread in
// OnClose.
#pragma once

#include "platform/ticks.h"
#include "platform/win_types.h"

// OnLoad: starts the dispatcher unless it runs, and reports "Ready" or
// the failure. OnClose: asks it to quit and waits for its end, at most
// g_dwDispatcherStopTimeout ms, running the host's messages meanwhile;
// true when it has ended (or never ran).
void StartDispatcher();
bool StopDispatcher();

DWORD DispatcherThread();

// Each starts its worker unless one of that kind still runs; a failed start
// is reported with "Error=%lu". Dispatcher thread only.
void StartSender();
void StartChecker();
void StartCanceller();

// Asks the running sender to stop and waits for every worker to end, at
// most g_dwWorkerStopTimeout ms in all as `now` tells the time, running the
// host's messages meanwhile. True when none runs any more.
bool StopWorkers(DWORD (*now)() = TickCount);
