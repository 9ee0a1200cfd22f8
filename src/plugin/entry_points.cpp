// The twelve exported entry points. They run on the host's thread, let no
// exception escape, and report only through the host window.
#include "morvtransport/morvtransport.h"

#include "app/edit_copy.h"
#include "app/game_registry.h"
#include "app/persistence.h"
#include "app/transport_app.h"
#include "platform/library.h"
#include "ui/config_flow.h"
#include "workers/control_events.h"
#include "workers/dispatcher.h"
#include "workers/outbox.h"

namespace {

// Nothing may unwind into the host: a failure that throws (memory
// exhaustion) ends the call as if it had done nothing more.
template <typename Body>
void Guarded(Body &&body) noexcept
{
    try {
        body();
    } catch (...) {
    }
}

}  // namespace

void OnLoad(HWND window, unsigned int message)
{
    Guarded([&] {
        theApp.m_nHostMessage = message;
        g_pEditSettings.reset();
        theApp.m_hwndHost = window;
        StartDispatcher();
    });
}

void OnClose()
{
    Guarded([] {
        // Every worker ends before the records go and before the host may
        // unload the library. One that outlives its bound still runs the
        // library's code, so the host's unload must not unmap it (any
        // function of the library's own names it).
        const bool dispatcherEnded = StopDispatcher();
        const bool workersEnded = StopWorkers();
        if (!dispatcherEnded || !workersEnded)
            KeepLibraryLoaded(reinterpret_cast<const void *>(&StopWorkers));
        FreeGames();
    });
}

void Init(CString &game)
{
    Guarded([&] { OpenGame(game); });
}

void Close(CString &game)
{
    Guarded([&] { CloseGame(game); });
}

void Send(CMapStringToString &message)
{
    Guarded([&] { QueueMessage(message); });
}

void Check() { g_eventCheck.SetEvent(); }

void Cancel() { g_eventCancel.SetEvent(); }

unsigned long PrepareExit() { return 0; }

void OnSave(CString &game, CMapStringToString &store, CString &tag, unsigned long &version)
{
    Guarded([&] { SaveGameSettings(game, store, tag, version); });
}

void OnRestore(CString &game, CMapStringToString &store, CString &tag, unsigned long &version)
{
    Guarded([&] { RestoreGameSettings(game, store, tag, version); });
}

void CreateConfigDialog(CTreeCtrl *tree, CString &game)
{
    Guarded([&] { OpenConfigPage(tree, game); });
}

void OnOk(CString &game)
{
    Guarded([&] { ApplyEditCopy(game); });
}
