// GameSession: one game opened in the plug-in by the host, from its project
// section (OnRestore) or fresh (Init) when the project has none; closed
// (Close) when the session ends. Host's thread only.
#pragma once

#include "host/project/project_file.h"
#include "host/session/plugin_module.h"

#include <optional>
#include <string>

// Throws ProjectError when the section of `game` was written by another
// plug-in (its tag or version is not this plug-in's).
void CheckSectionIsOurs(const std::string &game, const GameSection &section);

class GameSession {
public:
    // Throws ProjectError when the section was written by another plug-in
    // (its tag or version is not this plug-in's): OnRestore would ignore
    // it, and saving over it would lose it.
    GameSession(const EntryPoints &api, const std::string &game, const std::optional<GameSection> &section);
    ~GameSession();
    GameSession(const GameSession &) = delete;
    GameSession &operator=(const GameSession &) = delete;

    // The game's name as the plug-in knows it (Windows-1251).
    const CString &Name() const { return m_name; }
    // OnSave into `base`: the plug-in's settings over what the section held.
    // Throws PluginError when the plug-in does not answer with its tag.
    GameSection Save(GameSection base) const;

private:
    const EntryPoints &m_api;
    CString m_name;
};
