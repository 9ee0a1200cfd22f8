// SettingsEdit: what one editing of a game's settings changed (a person on
// the page), saved into the project as it is when they are saved, which
// another program may have changed meanwhile: only the keys the editing
// changed are written, and a key that was also changed outside keeps the
// outside value unless the person chooses theirs. Keys are Windows-1251,
// as the sections hold them. Host's thread only.
#pragma once

#include "host/project/project_file.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

class SettingsEdit {
public:
    // `opened`: the section as the editing began; none for a new game.
    explicit SettingsEdit(std::optional<GameSection> opened) : m_opened(std::move(opened)) {}

    // The section the editing ended with: its keys whose value differs
    // from the opened section's are the changes (an absent key counts as
    // empty, as the plug-in reads it).
    void SetEdited(GameSection edited) { m_edited = std::move(edited); }
    bool Changes(const std::string &key) const;
    // The changed keys that `current`, the section as the project holds
    // it now, holds otherwise than the person last saw them (and than
    // their new value).
    std::vector<std::string> ChangedMeanwhile(const std::optional<GameSection> &current) const;
    // The person's answer for such keys: their values over the ones of
    // `current`, or the outside values kept.
    void Overwrite(const std::vector<std::string> &keys, const std::optional<GameSection> &current);
    void KeepOutside(const std::vector<std::string> &keys);
    // `current` with the changes written into it, under the edited
    // section's tag and version.
    GameSection AppliedTo(std::optional<GameSection> current) const;

private:
    std::vector<std::string> ChangedKeys() const;

    std::optional<GameSection> m_opened;
    std::optional<GameSection> m_edited;
    std::map<std::string, std::string> m_seen;  // outside values the person chose to overwrite
    std::set<std::string> m_kept;
};

// The value of `key` in the section, if it has one.
std::optional<std::string> ValueIn(const std::optional<GameSection> &section, const std::string &key);
