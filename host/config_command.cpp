#include "host/commands.h"

#include "host/config_page_driver.h"
#include "host/game_session.h"
#include "host/plugin_host.h"
#include "host/text_codec.h"
#include "host/usage_error.h"

#include <set>

namespace {

struct SplitAssignments {
    Assignments page;
    Assignments direct;
};

SplitAssignments Split(const Assignments &assignments)
{
    SplitAssignments split;
    for (const auto &pair : assignments)
        (IsPageKey(pair.first) ? split.page : split.direct).push_back(pair);
    return split;
}

// Keys the page does not show go into the section as they are.
void PutDirectly(GameSection &section, const Assignments &pairs)
{
    for (const auto &[key, value] : pairs)
        section.pairs.SetAt(CString(Utf8ToAnsi(key)), CString(Utf8ToAnsi(value)));
}

void CheckRequest(const HostOptions &options)
{
    for (const auto &[key, value] : options.assignments)
        CheckConfigAssignment(key, value, options.force);
    for (const std::string &key : options.unsetKeys)
        if (key == "GameName")
            throw UsageError("GameName is the game's name and cannot be removed");
}

// Takes the keys to unset out of the section; each must be there.
void Unset(const HostOptions &options, GameSection &section)
{
    for (const std::string &key : options.unsetKeys)
        if (!section.pairs.RemoveKey(CString(Utf8ToAnsi(key))))
            throw UsageError("game \"" + options.game + "\" has no setting \"" + key + "\" to remove");
}

void RemoveAll(GameSection &section, const std::vector<std::string> &keys)
{
    for (const std::string &key : keys)
        section.pairs.RemoveKey(CString(Utf8ToAnsi(key)));
}

int ShowSettings(const CommandContext &context, const ProjectFile &project)
{
    const GameSection section = project.Require(context.options.game);
    PluginHost host(context.api, [&](const HostNotification &n) { context.output.Notify(n); }, context.watcher);
    const GameSession game(context.api, context.options.game, section);
    const GameSection saved = game.Save(section);
    context.output.Write(FormatSettings(context.output.Form(), saved.pairs));
    return EXIT_OK;
}

// The section as the plug-in saves it after the changes: the page's keys
// typed into the page, the others put in directly, the unset keys gone.
GameSection Configure(const CommandContext &context, std::optional<GameSection> section)
{
    const HostOptions &options = context.options;
    const SplitAssignments split = Split(options.assignments);
    if (section) {
        Unset(options, *section);
        PutDirectly(*section, split.direct);
    }
    PluginHost host(context.api, [&](const HostNotification &n) { context.output.Notify(n); }, context.watcher);
    const GameSession game(context.api, options.game, section);
    ConfigPageDriver(context.api).Apply(game.Name(), split.page);
    GameSection base = section.value_or(GameSection{});
    PutDirectly(base, split.direct);
    GameSection saved = game.Save(std::move(base));
    RemoveAll(saved, options.unsetKeys);
    return saved;
}

}  // namespace

int RunConfig(const CommandContext &context)
{
    const HostOptions &options = context.options;
    ProjectFile project(ProjectPath(options));
    if (options.assignments.empty() && options.unsetKeys.empty()) {
        project.Load(false);
        return ShowSettings(context, project);
    }
    CheckRequest(options);
    const ProjectLock lock(project.Path());
    project.Load(options.unsetKeys.empty());
    const std::optional<GameSection> section =
        options.unsetKeys.empty() ? project.Find(options.game) : std::optional(project.Require(options.game));
    const GameSection saved = Configure(context, section);
    project.Store(options.game, saved, std::set<std::string>(options.unsetKeys.begin(), options.unsetKeys.end()));
    project.Save();
    return EXIT_OK;
}
