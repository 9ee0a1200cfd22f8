#include "app/persistence.h"

#include "app/game_registry.h"
#include "app/transport_app.h"
#include "resources/resource.h"

#include <mutex>

namespace {

// "%s %s": the record's game name and the table text `id`.
void ReportSection(const GameSettings &record, UINT id)
{
    CString name;
    record.Lookup(KEY_GAME_NAME, name);
    theApp.NotifyText(CString::Formatted("%s %s", name.GetString(), theApp.LoadText(id).GetString()));
}

}  // namespace

void SaveGameSettings(const CString &game, CMapStringToString &store, CString &tag, unsigned long &version)
{
    std::lock_guard lock(g_mutexGames);
    const GameSettings *record = FindGame(game);
    if (!record)
        return;
    tag = SETTINGS_TAG;
    version = SETTINGS_VERSION;
    record->ExportTo(store);
    ReportSection(*record, IDS_SAVED);
}

void RestoreGameSettings(const CString &game, const CMapStringToString &store, const CString &tag,
                         unsigned long version)
{
    if (tag != SETTINGS_TAG || version != SETTINGS_VERSION)
        return;
    std::lock_guard lock(g_mutexGames);
    if (FindGame(game))
        return;
    auto &record = g_mapGames[game];
    record = std::make_unique<GameSettings>(game);
    record->MergeFrom(store);
    ReportSection(*record, IDS_LOADED);
}
