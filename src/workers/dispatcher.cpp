#include "workers/dispatcher.h"

#include "app/transport_app.h"
#include "platform/last_error.h"
#include "platform/ticks.h"
#include "resources/resource.h"
#include "workers/canceller.h"
#include "workers/checker.h"
#include "workers/control_events.h"
#include "workers/sender.h"
#include "workers/worker_slot.h"

namespace {

constexpr DWORD WAIT_QUIT = WAIT_OBJECT_0;
constexpr DWORD WAIT_SEND = WAIT_OBJECT_0 + 1;
constexpr DWORD WAIT_CHECK = WAIT_OBJECT_0 + 2;
constexpr DWORD WAIT_CANCEL = WAIT_OBJECT_0 + 3;

void ReportStartError()
{
    const unsigned long error = GetLastError();
    theApp.NotifyText(theApp.FormatText(IDS_ERROR, error));
}

void StartWorker(CWorkerSlot &slot, CWorkerSlot::Procedure procedure, const std::function<void()> &prepare = {})
{
    if (!slot.StartUnlessRunning(procedure, prepare))
        ReportStartError();
}

void Act(DWORD result)
{
    switch (result) {
    case WAIT_SEND:
        StartSender();
        break;
    case WAIT_CHECK:
        StartChecker();
        break;
    case WAIT_CANCEL:
        StartCanceller();
        break;
    case WAIT_TIMEOUT:
        StartSender();
        StartChecker();
        break;
    default:
        break;
    }
}

// The error of the first control event that could not be made, else 0.
DWORD ControlEventsError()
{
    for (const CEvent *event : {&g_eventQuit, &g_eventSend, &g_eventCheck, &g_eventCancel, &g_eventAbort}) {
        if (!event->IsValid())
            return event->CreationError();
    }
    return 0;
}

void ReportInitFailure(unsigned long error) { theApp.NotifyText(theApp.FormatText(IDS_INIT_FAILED, error)); }

}  // namespace

DWORD DispatcherThread()
{
    CEvent *const events[] = {&g_eventQuit, &g_eventSend, &g_eventCheck, &g_eventCancel};
    for (;;) {
        try {
            const DWORD result = WaitForEvents(events, 4, g_dwDispatchTimeout.load());
            if (result == WAIT_QUIT)
                return 1;
            Act(result);
        } catch (...) {
            // Out of memory while waiting or starting a worker: the next
            // wake-up tries again.
        }
    }
}

void StartSender()
{
    // No sender runs, so an abort still set was meant for one that has
    // ended; the new sender must not see it.
    StartWorker(g_hSenderThread, SenderThread, [] { g_eventAbort.ResetEvent(); });
}

void StartChecker() { StartWorker(g_hCheckerThread, CheckerThread); }

void StartCanceller() { StartWorker(g_hCancellerThread, CancellerThread); }

bool StopWorkers(DWORD (*now)())
{
    const CTickBound bound(g_dwWorkerStopTimeout.load(), now());
    constexpr auto pumping = CWorkerSlot::WaitMode::Pumping;
    bool stopped = g_hSenderThread.Stop(bound.Left(now()), pumping, [] { g_eventAbort.SetEvent(); });
    stopped = g_hCheckerThread.Stop(bound.Left(now()), pumping) && stopped;
    stopped = g_hCancellerThread.Stop(bound.Left(now()), pumping) && stopped;
    return stopped;
}

void StartDispatcher()
{
    // Without its events the dispatcher could neither wait nor be stopped.
    if (const DWORD error = ControlEventsError())
        return ReportInitFailure(error);
    auto &dispatcher = theApp.m_hDispatcherThread;
    // A second OnLoad keeps the running dispatcher; replacing it would
    // leave one that OnClose cannot stop.
    if (!dispatcher || !dispatcher->IsRunning())
        dispatcher = CWorkerThread::Start(DispatcherThread);
    if (dispatcher) {
        theApp.NotifyText(theApp.FormatText(IDS_READY));
        return;
    }
    ReportInitFailure(GetLastError());
}

bool StopDispatcher()
{
    auto &dispatcher = theApp.m_hDispatcherThread;
    if (!dispatcher)
        return true;
    g_eventQuit.SetEvent();
    // The dispatcher may be reporting a failed start to this very thread.
    const bool ended = dispatcher->WaitPumping(g_dwDispatcherStopTimeout.load());
    dispatcher.reset();
    return ended;
}
