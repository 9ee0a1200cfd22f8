#include "workers/sender.h"

#include "app/game_registry.h"
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

void NotifyGameText(UINT id)
{
    const CString text = theApp.LoadText(id);
    theApp.NotifyText(CString::Formatted("%s %s", g_currentMessage[KEY_GAME_NAME].GetString(), text.GetString()));
}

void ReportOutcome(BOOL delivered)
{
    if (!delivered) {
        theApp.NotifyText(g_currentMessage.GetError());
        theApp.NotifyStatus(TS_SENDING | TS_CHECKING | TS_UNSENT | TS_BUSY, TS_UNSENT);
        return;
    }
    NotifyGameText(IDS_SENT);
    theApp.NotifyStatus(TS_SENDING | TS_UNSENT | TS_BUSY, 0);
    theApp.NotifySent(&g_currentMessage);
}

// Delivers the working record and reports how it went. False when a stop
// request came meanwhile and the message gets no outcome: it failed, or the
// stopper no longer waits for this sender. A message the mail system took
// is reported even after a stop request, or it would stay queued and be
// delivered a second time after the next OnLoad.
// The stop request is looked at once a message, before the queue: a stop
// that comes later ends the delivery's waits, and is looked at again only
// when the outcome may not be reported.
bool DeliverCurrent()
{
    if (!MergeGameSettings())
        return true;
    NotifyGameText(IDS_SENDING);
    theApp.NotifyStatus(0, TS_SENDING | TS_UNSENT | TS_BUSY);
    const BOOL delivered = g_currentMessage.Deliver();
    if ((!delivered || g_hSenderThread.IsAbandoned()) && AbortRequested())
        return false;
    ReportOutcome(delivered);
    return true;
}

}  // namespace

DWORD SenderThread()
{
    g_currentMessage.SetAbortEvent(&g_eventAbort);
    while (!AbortRequested()) {
        const auto ticket = g_arrOutbox.MergeNewestInto(g_currentMessage);
        if (!ticket) {
            // A message queued after the look but before the end is taken
            // now; one queued later is the next sender's (worker_slot.h).
            if (g_hSenderThread.TakeWakeUp())
                continue;
            break;
        }
        if (!DeliverCurrent())
            break;
        // Handled, even if a stop came during the report: left queued, the
        // message would be delivered and reported again after the next OnLoad.
        g_arrOutbox.Remove(*ticket);
    }
    return 0;
}
