#include "host/project/project_file.h"

#include "host/os/user_folders.h"
#include "host/text/text_codec.h"

namespace {

constexpr const char *FORMAT_KEY = "morv-host-project";
constexpr int FORMAT_VERSION = 1;
constexpr const char *GAMES_KEY = "games";

bool IsBlank(const std::string &text)
{
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

std::string ToAnsi(const std::string &utf8, const std::string &what)
{
    try {
        return Utf8ToAnsi(utf8);
    } catch (const TextCodecError &error) {
        throw ProjectError(what + " cannot be given to the plug-in in Windows-1251 (" + error.what() + ")");
    }
}

}  // namespace

ProjectFile::ProjectFile(std::filesystem::path path) : m_path(std::move(path)), m_target(FollowLinks(m_path)) {}

std::filesystem::path ProjectFile::DefaultPath()
{
    return UserSettingsFolder() / "morvtransport" / "project.json";
}

void ProjectFile::Fail(const std::string &problem) const
{
    throw ProjectError("project file " + m_path.string() + " " + problem + "; it was left as it is");
}

void ProjectFile::Load(bool mayCreate)
{
    const std::optional<std::string> content = ReadProjectBytes(m_target);
    if (!content) {
        if (!mayCreate)
            throw ProjectError("project file " + m_path.string() +
                               " does not exist; configure a game first (morv-host config GAME KEY=VALUE ...)");
        m_document = {{FORMAT_KEY, FORMAT_VERSION}, {GAMES_KEY, nlohmann::json::object()}};
        return;
    }
    if (IsBlank(*content))
        Fail("is empty");
    try {
        m_document = nlohmann::json::parse(*content);
    } catch (const nlohmann::json::parse_error &parseError) {
        Fail(std::string("is not JSON (") + parseError.what() + ")");
    }
    Validate();
}

void ProjectFile::Validate() const
{
    const auto format = m_document.is_object() ? m_document.find(FORMAT_KEY) : m_document.end();
    if (!m_document.is_object() || format == m_document.end())
        Fail("is not a morv-host project");
    if (*format != FORMAT_VERSION)
        Fail("has project format " + format->dump() + ", which this morv-host does not know");
    const auto games = m_document.find(GAMES_KEY);
    if (games == m_document.end() || !games->is_object())
        Fail("has no \"games\" object");
}

std::optional<GameSection> ProjectFile::Find(const std::string &game) const
{
    const nlohmann::json &games = m_document.at(GAMES_KEY);
    const auto found = games.find(game);
    if (found == games.end())
        return std::nullopt;
    const nlohmann::json &entry = *found;
    const std::string where = "the section of game \"" + game + "\" in " + m_path.string();
    if (!entry.is_object() || !entry.contains("tag") || !entry["tag"].is_string() || !entry.contains("version") ||
        !entry["version"].is_number_unsigned() || !entry.contains("settings") || !entry["settings"].is_object())
        throw ProjectError(where + " is malformed (needs \"tag\", \"version\" and \"settings\")");
    GameSection section;
    section.tag = entry["tag"].get<std::string>();
    section.version = entry["version"].get<unsigned long>();
    for (const auto &[key, value] : entry["settings"].items()) {
        if (!value.is_string())
            throw ProjectError(where + ": the value of \"" + key + "\" is not text");
        section.pairs.SetAt(ToAnsi(key, "key \"" + key + "\""), ToAnsi(value.get<std::string>(), "\"" + key + "\""));
    }
    return section;
}

GameSection ProjectFile::Require(const std::string &game) const
{
    if (std::optional<GameSection> section = Find(game))
        return std::move(*section);
    std::string names;
    for (const std::string &name : GameNames())
        names += (names.empty() ? "\"" : ", \"") + name + "\"";
    throw ProjectError("project file " + m_path.string() + " holds no game \"" + game + "\" (" +
                       (names.empty() ? "it holds none" : "it holds " + names) +
                       "); configure it first: morv-host config " + game + " KEY=VALUE ...");
}

std::vector<std::string> ProjectFile::GameNames() const
{
    std::vector<std::string> names;
    for (const auto &item : m_document.at(GAMES_KEY).items())
        names.push_back(item.key());
    return names;
}

void ProjectFile::Store(const std::string &game, const GameSection &section, const std::set<std::string> &dropped)
{
    nlohmann::json settings = nlohmann::json::object();
    for (const auto &[key, value] : section.pairs)
        settings[AnsiToUtf8(key.view())] = AnsiToUtf8(value.view());
    nlohmann::json &entry = m_document[GAMES_KEY][game];
    if (entry.is_object() && entry.contains("settings") && entry["settings"].is_object())
        for (const auto &item : entry["settings"].items())
            if (!settings.contains(item.key()) && !dropped.contains(item.key()))
                throw ProjectError("the new settings of game \"" + game + "\" lack \"" + item.key() +
                                   "\"; " + m_path.string() + " was left as it is");
    if (!entry.is_object())
        entry = nlohmann::json::object();
    entry["tag"] = section.tag;
    entry["version"] = section.version;
    entry["settings"] = std::move(settings);
}

void ProjectFile::Save() const
{
    if (m_target.has_parent_path())
        std::filesystem::create_directories(m_target.parent_path());
    ReplaceProjectFile(m_target, m_document.dump(2) + "\n");
}
