#include "host/cli/commands.h"

#include "host/os/terminal_screen.h"
#include "host/page/config_page_driver.h"
#include "host/page/interactive_page.h"
#include "host/page/connection_settings.h"
#include "host/session/game_session.h"
#include "host/session/plugin_host.h"
#include "host/text/text_codec.h"
#include "host/text/usage_error.h"

#include <algorithm>
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

bool ChangesGiven(const HostOptions &options) { return !options.assignments.empty() || !options.unsetKeys.empty(); }

// A person at a terminal who asks for no change gets the page; one who
// asks for it gets it also off a terminal where it is a window of its own.
bool OpensPage(const HostOptions &options)
{
    if (options.interactive == false)
        return false;
    if (options.interactive == true) {
        if (ChangesGiven(options))
            throw UsageError("--interactive opens the page for a person; KEY=VALUE and --unset go without it");
        if (PageNeedsTerminal() && !OnTerminal())
            throw UsageError("--interactive needs a terminal on standard input and output");
        return true;
    }
    return !ChangesGiven(options) && !options.porcelain && OnTerminal();
}

// The assignments as they are stored (CheckConfigAssignment).
Assignments CheckedRequest(const HostOptions &options)
{
    Assignments checked;
    for (const auto &[key, value] : options.assignments)
        checked.emplace_back(key, CheckConfigAssignment(key, value, options.force));
    for (const std::string &key : options.unsetKeys)
        if (key == "GameName")
            throw UsageError("GameName is the game's name and cannot be removed");
    return checked;
}

// A Login and the Security it needs are checked together, also against
// the value of the one that is already stored.
bool ChangesLoginOrSecurity(const HostOptions &options)
{
    const auto isOne = [](const std::string &key) { return key == "Login" || key == "Security"; };
    return std::any_of(options.assignments.begin(), options.assignments.end(),
                       [&](const auto &pair) { return isOne(pair.first); }) ||
           std::any_of(options.unsetKeys.begin(), options.unsetKeys.end(), isOne);
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
    context.output.Write(FormatSettings(context.output.Form(), section.pairs));
    return EXIT_OK;
}

// The section as the plug-in saves it after the changes: the page's keys
// typed into the page, the others put in directly, the unset keys gone.
GameSection Configure(const CommandContext &context, const std::optional<GameSection> &section,
                      const Assignments &assignments)
{
    const HostOptions &options = context.options;
    const SplitAssignments split = Split(assignments);
    GameSection base = section.value_or(GameSection{});
    if (section)
        Unset(options, base);
    PutAssignments(base.pairs, split.direct);  // keys the page does not show
    if (ChangesLoginOrSecurity(options))
        CheckLoginGoesOverTls(base.pairs);
    PluginHost host(context.api, [&](const HostNotification &n) { context.output.Notify(n); }, context.watcher);
    const GameSession game(context.api, options.game, section ? std::optional(base) : std::nullopt);
    ConfigPageDriver(context.api).Apply(game.Name(), split.page);
    GameSection saved = game.Save(std::move(base));
    RemoveAll(saved, options.unsetKeys);
    return saved;
}

}  // namespace

int RunConfig(const CommandContext &context)
{
    const HostOptions &options = context.options;
    if (OpensPage(options))
        return RunConfigPage(context);
    ProjectFile project(ProjectPath(options));
    if (!ChangesGiven(options)) {
        project.Load(false);
        return ShowSettings(context, project);
    }
    const Assignments assignments = CheckedRequest(options);
    const ProjectLock lock(project.Path());
    project.Load(options.unsetKeys.empty());
    const std::optional<GameSection> section =
        options.unsetKeys.empty() ? project.Find(options.game) : std::optional(project.Require(options.game));
    const GameSection saved = Configure(context, section, assignments);
    project.Store(options.game, saved, std::set<std::string>(options.unsetKeys.begin(), options.unsetKeys.end()));
    project.Save();
    return EXIT_OK;
}
