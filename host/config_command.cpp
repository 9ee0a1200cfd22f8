#include "host/commands.h"

#include "host/config_page_driver.h"
#include "host/game_session.h"
#include "host/plugin_host.h"
#include "host/text_codec.h"

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

std::filesystem::path ProjectPath(const HostOptions &options)
{
    return options.project.empty() ? ProjectFile::DefaultPath() : std::filesystem::path(options.project);
}

int ShowSettings(const CommandContext &context, const std::optional<GameSection> &section)
{
    PluginHost host(context.api, [&](const HostNotification &n) { context.output.Notify(n); }, context.watcher);
    const GameSession game(context.api, context.options.game, section);
    const GameSection saved = game.Save(section.value_or(GameSection{}));
    context.output.Write(FormatSettings(context.output.Form(), saved.pairs));
    return EXIT_OK;
}

}  // namespace

int RunConfig(const CommandContext &context)
{
    const HostOptions &options = context.options;
    ProjectFile project(ProjectPath(options));
    project.Load(!options.assignments.empty());
    std::optional<GameSection> section = project.Find(options.game);
    if (options.assignments.empty())
        return ShowSettings(context, section);

    const SplitAssignments split = Split(options.assignments);
    GameSection base = section.value_or(GameSection{});
    PutDirectly(base, split.direct);
    if (section)
        PutDirectly(*section, split.direct);
    PluginHost host(context.api, [&](const HostNotification &n) { context.output.Notify(n); }, context.watcher);
    const GameSession game(context.api, options.game, section);
    ConfigPageDriver(context.api).Apply(game.Name(), split.page);
    project.Store(options.game, game.Save(std::move(base)));
    project.Save();
    return EXIT_OK;
}
