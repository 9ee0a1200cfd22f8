#include "app/game_registry.h"

#include "app/edit_copy.h"
#include "app/transport_app.h"
#include "resources/resource.h"

#include <mutex>

GameSettings *FindGame(const CString &name)
{
    const auto found = g_mapGames.find(name);
    return found == g_mapGames.end() ? nullptr : found->second.get();
}

void OpenGame(const CString &name)
{
    std::lock_guard lock(g_mutexGames);
    if (FindGame(name))
        return;
    g_mapGames[name] = std::make_unique<GameSettings>(name);
    theApp.NotifyText(theApp.FormatText(IDS_INIT, name.GetString()));
}

void CloseGame(const CString &name)
{
    std::lock_guard lock(g_mutexGames);
    if (!g_mapGames.erase(name))
        return;
    theApp.NotifyText(theApp.FormatText(IDS_CLOSED, name.GetString()));
}

void FreeGames()
{
    std::lock_guard lock(g_mutexGames);
    g_mapGames.clear();
    g_pEditSettings.reset();
}
