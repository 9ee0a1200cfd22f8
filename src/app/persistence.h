// Saving a game's settings into the host's project and opening a game from
// it. The section is marked with SETTINGS_TAG and SETTINGS_VERSION.
#pragma once

#include "morvtransport/morvtransport.h"
#include "platform/map_string_to_string.h"

inline constexpr const char *SETTINGS_TAG = MORV_SETTINGS_TAG;
constexpr unsigned long SETTINGS_VERSION = MORV_SETTINGS_VERSION;

// OnSave.
void SaveGameSettings(const CString &game, CMapStringToString &store, CString &tag, unsigned long &version);
// OnRestore.
void RestoreGameSettings(const CString &game, const CMapStringToString &store, const CString &tag,
                         unsigned long version);
