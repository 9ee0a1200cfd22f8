// The folder where programs keep their users' settings: here
// $XDG_CONFIG_HOME, else ~/.config; on Windows the user's roaming
// application-data folder (FOLDERID_RoamingAppData, %APPDATA%). The current
// folder when none is known.
#pragma once

#include <filesystem>

std::filesystem::path UserSettingsFolder();
// That folder as a person would write it in help: "$XDG_CONFIG_HOME".
extern const char *const USER_SETTINGS_FOLDER_NAME;
