#include "workers/canceller.h"

#include "app/transport_app.h"
#include "resources/resource.h"
#include "workers/control_events.h"
#include "workers/outbox.h"
#include "workers/worker_slot.h"

DWORD CancellerThread()
{
    // A sender that outlives the wait keeps its slot, so no other sender
    // starts while it lives; it will touch nothing more once it moves on.
    g_hSenderThread.Stop(g_dwWorkerStopTimeout.load(), CWorkerSlot::WaitMode::Plain,
                         [] { g_eventAbort.SetEvent(); });
    g_arrOutbox.Clear();
    const CString aborted = theApp.LoadText(IDS_ABORTED);
    theApp.NotifyText(CString::Formatted("%s", aborted.GetString()));
    theApp.NotifyStatus(TS_UNSENT | TS_BUSY, 0);
    return 0;
}
