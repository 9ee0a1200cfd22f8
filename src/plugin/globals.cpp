// The objects that exist from load to unload. They live in this one file so
// that they are constructed in this order and destroyed in reverse.
#include "mail/message_record.h"
#include "plugin/game_registry.h"
#include "plugin/transport_app.h"
#include "ui/edit_copy.h"
#include "workers/control_events.h"
#include "workers/outbox.h"
#include "workers/worker_slot.h"

CTransportApp theApp;

CEvent g_eventQuit;
CEvent g_eventSend;
CEvent g_eventCheck;
CEvent g_eventCancel;
CEvent g_eventAbort;

GameRegistry g_mapGames;
COutbox g_arrOutbox{g_mutexOutbox};
CMessageRecord g_currentMessage;

CMutex g_mutexGames;
CMutex g_mutexOutbox;

CWorkerSlot g_hSenderThread;
CWorkerSlot g_hCheckerThread;
CWorkerSlot g_hCancellerThread;

std::atomic<DWORD> g_dwDispatchTimeout{60000};
std::atomic<DWORD> g_dwDispatcherStopTimeout{5000};
std::atomic<DWORD> g_dwWorkerStopTimeout{5000};
std::unique_ptr<GameSettings> g_pEditSettings;
