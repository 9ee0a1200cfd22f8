#include "workers/sender.h"

#include "app/game_registry.h"
#include "app/notification_series.h"
#include "app/transport_app.h"
#include "mail/message_record.h"
#include "resources/resource.h"
#include "settings/game_settings.h"
#include "workers/control_events.h"
#include "workers/outbox.h"
#include "workers/worker_slot.h"

#include <mutex>

namespace {

// Once set for this sender, g_eventAbort stays set until it has ended, so
// a sender that has seen a stop request never again starts on the queue,
// the working record or the host.
bool AbortRequested() { return g_eventAbort.IsSignalled(); }

// Settings win over the message on equal keys. False when the message's
// game is not open.
bool MergeGameSettings()
{
    std::lock_guard<CMutex> lock(g_mutexGames);
    const GameSettings *settings = FindGame(g_currentMessage[KEY_GAME_NAME]);
    if (!settings)
        return false;
    g_currentMessage.Merge(*settings);
    return true;
}

// How long the reply to the end of a mail may still come after a stop
// request: most of the stopper's wait for this sender, the rest left for
// the outcome to reach the host before the stopper gives up.
DWORD LastReplyGrace()
{
    const DWORD bound = g_dwWorkerStopTimeout.load();
    return bound - bound / 5;
}

CString GameText(UINT id)
{
    const CString text = theApp.LoadText(id);
    return CString::Formatted("%s %s", g_currentMessage[KEY_GAME_NAME].GetString(), text.GetString());
}

void ReportStart()
{
    CNotificationSeries(theApp).Text(GameText(IDS_SENDING)).Status(0, TS_SENDING | TS_UNSENT | TS_BUSY).Send();
}

void ReportOutcome(BOOL delivered)
{
    CNotificationSeries series(theApp);
    if (delivered)
        series.Text(GameText(IDS_SENT)).Status(TS_SENDING | TS_UNSENT | TS_BUSY, 0).Sent(&g_currentMessage);
    else
        series.Text(g_currentMessage.GetError()).Status(TS_SENDING | TS_CHECKING | TS_UNSENT | TS_BUSY, TS_UNSENT);
    series.Send();
}

// What became of the message in the working record.
enum class Handling {
    Done,     // it had its outcome, or its game is not open: it leaves the queue
    Kept,     // a stop came first and it got no outcome: it stays queued
    Dropped,  // the mail system took it, but the stopper gave up on this
              // sender, which must not report any more: it leaves the queue
};

// Delivers the working record and reports how it went. A message the mail
// system took leaves the queue whatever stop came meanwhile; left queued,
// it would be delivered a second time after the next OnLoad.
// The stop request is looked at once a message, before the queue: a stop
// that comes later ends the delivery's waits.
Handling DeliverCurrent()
{
    if (!MergeGameSettings())
        return Handling::Done;
    ReportStart();
    const BOOL delivered = g_currentMessage.Deliver();
    if (!delivered && AbortRequested())
        return Handling::Kept;
    if (delivered && g_hSenderThread.IsAbandoned())
        return Handling::Dropped;
    ReportOutcome(delivered);
    return Handling::Done;
}

}  // namespace

DWORD SenderThread()
{
    g_currentMessage.SetAbortEvent(&g_eventAbort, LastReplyGrace());
    while (!AbortRequested()) {
        g_currentMessage.ForgetPerMessageKeys();
        const auto ticket = g_arrOutbox.MergeNewestInto(g_currentMessage);
        if (!ticket) {
            // A message queued after the look but before the end is taken
            // now; one queued later is the next sender's (worker_slot.h).
            if (g_hSenderThread.TakeWakeUp())
                continue;
            break;
        }
        const Handling handling = DeliverCurrent();
        if (handling == Handling::Kept)
            break;
        g_arrOutbox.Remove(*ticket);
        if (handling == Handling::Dropped)
            break;
    }
    return 0;
}
