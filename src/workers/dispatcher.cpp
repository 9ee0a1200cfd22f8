#include "workers/dispatcher.h"

#include "platform/last_error.h"
#include "platform/ticks.h"
#include "plugin/transport_app.h"
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

DWORD TimeLeft(DWORD start, DWORD bound)
{
    const DWORD spent = GetTickCount() - start;
    return spent >= bound ? 0 : bound - spent;
}

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

bool StopWorkers()
{
    const DWORD bound = g_dwWorkerStopTimeout.load();
    const DWORD start = GetTickCount();
    constexpr auto pumping = CWorkerSlot::WaitMode::Pumping;
    bool stopped = g_hSenderThread.Stop(bound, pumping, [] { g_eventAbort.SetEvent(); });
    stopped = g_hCheckerThread.Stop(TimeLeft(start, bound), pumping) && stopped;
    stopped = g_hCancellerThread.Stop(TimeLeft(start, bound), pumping) && stopped;
    return stopped;
}

void CTransportApp::StartDispatcher()
{
    // A second OnLoad keeps the running dispatcher; replacing it would
    // leave one that OnClose cannot stop.
    if (!m_hDispatcherThread || !m_hDispatcherThread->IsRunning())
        m_hDispatcherThread = CWorkerThread::Start(DispatcherThread);
    if (m_hDispatcherThread) {
        NotifyText(FormatText(IDS_READY));
        return;
    }
    const unsigned long error = GetLastError();
    NotifyText(FormatText(IDS_INIT_FAILED, error));
}

void CTransportApp::StopDispatcher()
{
    if (!m_hDispatcherThread)
        return;
    g_eventQuit.SetEvent();
    // The dispatcher may be reporting a failed start to this very thread.
    m_hDispatcherThread->WaitPumping(g_dwDispatcherStopTimeout.load());
    m_hDispatcherThread.reset();
}
