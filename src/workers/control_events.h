// The control events (auto-reset, not signalled at load) and the
// dispatcher's time-out. Send, Check and Cancel set their events; the
// dispatcher waits on quit, send, check and cancel in that index order;
// the canceller sets g_eventAbort to stop a running sender.
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
