// The objects that exist from load to unload. They live in this one file so
// that they are constructed in this order and destroyed in reverse.
#include "mail/message_record.h"
#include "plugin/game_registry.h"
#include "plugin/transport_app.h"
#include "ui/edit_copy.h"
#include "workers/control_events.h"
#include "workers/outbox.h"

CTransportApp theApp;

CEvent g_eventQuit;
CEvent g_eventSend;
CEvent g_eventCheck;
CEvent g_eventCancel;
CEvent g_eventAbort;

GameRegistry g_mapGames;
Outbox g_arrOutbox;
CMessageRecord g_currentMessage;

CMutex g_mutexGames;
CMutex g_mutexOutbox;

std::atomic<DWORD> g_dwDispatchTimeout{60000};
std::unique_ptr<GameSettings> g_pEditSettings;
