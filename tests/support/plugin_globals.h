// How suites that load and close the plug-in many times in one process put
// its load-time objects (src/plugin/globals.cpp) back. Include only in
// suites that link morvtransport_static.
#pragma once

#include "app/game_registry.h"
#include "app/transport_app.h"
#include "mail/message_record.h"
#include "plugin/globals.h"
#include "workers/control_events.h"
#include "workers/outbox.h"

// Puts every object back as loading the library left it: events not
// signalled, no games, an empty queue and working record, no host window,
// status 0, the workers' time-outs as they start. Only while no plug-in
// thread runs.
inline void ResetPluginGlobals()
{
    theApp.m_hwndHost = nullptr;
    theApp.m_nHostMessage = 0;
    theApp.m_dwStatus = 0;
    for (CEvent *event : {&g_eventQuit, &g_eventSend, &g_eventCheck, &g_eventCancel, &g_eventAbort})
        event->ResetEvent();
    FreeGames();
    g_arrOutbox.Clear();
    g_currentMessage.RemoveAll();
    g_currentMessage.m_error.Empty();
    g_currentMessage.SetAbortEvent(nullptr);
    g_dwDispatchTimeout = DISPATCH_TIMEOUT_MS;
    g_dwDispatcherStopTimeout = DISPATCHER_STOP_TIMEOUT_MS;
    g_dwWorkerStopTimeout = WORKER_STOP_TIMEOUT_MS;
}
