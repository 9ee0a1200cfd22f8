// The configuration page's edit copy: the one record the page edits in
// place, for the game of the latest CreateConfigDialog. Touched on the
// host's thread only; FreeGames also deletes it under g_mutexGames.
#pragma once

#include "settings/game_settings.h"

#include <memory>

extern std::unique_ptr<GameSettings> g_pEditSettings;
