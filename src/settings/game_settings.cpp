#include "settings/game_settings.h"

#include <cstdlib>

int MailerNumber(const CString &text) { return std::atoi(text); }

void MergePairs(CMapStringToString &target, const CMapStringToString &source)
{
    for (const auto &[key, value] : source)
        target.SetAt(key, value);
}

GameSettings::GameSettings(const CString &name) : CMapStringToString(10)
{
    SetAt(KEY_GAME_NAME, name);
}

GameSettings::GameSettings(const CMapStringToString &source) : CMapStringToString(10)
{
    MergeFrom(source);
}

GameSettings::~GameSettings() = default;

void GameSettings::ExportTo(CMapStringToString &target) const { MergePairs(target, *this); }

void GameSettings::MergeFrom(const CMapStringToString &source)
{
    if (&source != this)
        MergePairs(*this, source);
}
