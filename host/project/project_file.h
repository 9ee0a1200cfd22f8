// ProjectFile: the host's project, a JSON file that keeps for each game the
// section the plug-in's OnSave filled (tag, version, settings pairs). The
// file is UTF-8; sections are handed to the plug-in in Windows-1251.
//
// Safety: a file that is empty, not JSON or not a project of this host is
// refused and never written, and so is one that is no regular file or is
// too large (project_storage.h); Save replaces the file whole, at the end
// of its symbolic links, so a failure leaves the old file; Store refuses a
// section that would lose a key the old one had. An update holds a
// ProjectLock from Load to Save. Used on the host's thread only.
#pragma once

#include "host/project/project_storage.h"
#include "platform/map_string_to_string.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct GameSection {
    std::string tag;             // UTF-8
    unsigned long version = 0;
    CMapStringToString pairs = CMapStringToString();  // Windows-1251
};

class ProjectFile {
public:
    explicit ProjectFile(std::filesystem::path path);

    // project.json in the folder morvtransport of UserSettingsFolder().
    static std::filesystem::path DefaultPath();

    const std::filesystem::path &Path() const { return m_path; }
    // The file itself, the path's symbolic links followed.
    const std::filesystem::path &Target() const { return m_target; }
    // Reads the file. A missing file is an empty project when `mayCreate`,
    // else an error. Throws ProjectError with a message for people.
    void Load(bool mayCreate);
    // The game's section, if the project has one. Throws ProjectError when
    // the section is malformed or cannot be written in Windows-1251.
    std::optional<GameSection> Find(const std::string &game) const;
    // The game's section; throws ProjectError, naming the games the
    // project holds, when it has none.
    GameSection Require(const std::string &game) const;
    // The names of the games the project holds, sorted.
    std::vector<std::string> GameNames() const;
    // Replaces the game's section; throws ProjectError if a key of the
    // current section would be lost, unless it is one of `dropped` (UTF-8).
    void Store(const std::string &game, const GameSection &section, const std::set<std::string> &dropped = {});
    // Writes the whole project atomically; creates missing folders.
    void Save() const;

private:
    [[noreturn]] void Fail(const std::string &problem) const;
    void Validate() const;

    std::filesystem::path m_path;
    std::filesystem::path m_target;
    nlohmann::json m_document;
};
