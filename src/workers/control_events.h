// The control events (auto-reset, not signalled at load) and the workers'
// time-outs. Send, Check and Cancel set their events; the dispatcher waits
// on quit, send, check and cancel in that index order. g_eventAbort asks
// the running sender to stop: the canceller and OnClose set it while a
// sender runs, and only StartSender resets it, when no sender runs.
#pragma once

#include "platform/event.h"

#include <atomic>

extern CEvent g_eventQuit;
extern CEvent g_eventSend;
extern CEvent g_eventCheck;
extern CEvent g_eventCancel;
extern CEvent g_eventAbort;

// Milliseconds without events after which the dispatcher starts the sender
// and the checker by itself; read before every wait.
extern std::atomic<DWORD> g_dwDispatchTimeout;
// How long OnClose waits for the dispatcher to end after g_eventQuit.
extern std::atomic<DWORD> g_dwDispatcherStopTimeout;
// How long the canceller waits for an aborted sender, and OnClose for all
// the workers together.
extern std::atomic<DWORD> g_dwWorkerStopTimeout;
