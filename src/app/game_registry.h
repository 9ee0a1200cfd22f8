// The registry of open games: game name -> settings record. The registry
// owns its records. Guarded, records included, by g_mutexGames (re-entrant);
// no path holds it together with g_mutexOutbox, nor while a worker delivers
// or notifies.
#pragma once

#include "platform/mutex.h"
#include "settings/game_settings.h"

#include <memory>
#include <unordered_map>

using GameRegistry = std::unordered_map<CString, std::unique_ptr<GameSettings>>;

extern GameRegistry g_mapGames;  // guarded by g_mutexGames
extern CMutex g_mutexGames;

// The open game's record, or null. Caller holds g_mutexGames.
GameSettings *FindGame(const CString &name);

// Init: opens the game with a fresh record and reports it; an open game
// stays as it is.
void OpenGame(const CString &name);
// Close: deletes the game's record and reports it; nothing when not open.
void CloseGame(const CString &name);
// Deletes every record and the configuration page's edit copy.
void FreeGames();
