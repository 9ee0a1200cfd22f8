#include "host/cli/commands.h"

#include "host/os/terminal_screen.h"
#include "host/page/config_page_driver.h"
#include "host/page/terminal_page.h"
#include "host/session/game_session.h"
#include "host/session/plugin_host.h"
#include "host/text/text_codec.h"
#include "host/text/usage_error.h"

#include <cstdio>
#include <functional>
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

// Fills the open game's page and confirms it; false when nothing is to
// be saved.
using PageEdit = std::function<bool(PluginHost &host, const CString &game)>;

bool ChangesGiven(const HostOptions &options) { return !options.assignments.empty() || !options.unsetKeys.empty(); }

// A person at a terminal who asks for no change gets the page.
bool OpensPage(const HostOptions &options)
{
    if (options.interactive == false)
        return false;
    if (options.interactive == true) {
        if (ChangesGiven(options))
            throw UsageError("--interactive opens the page for a person; KEY=VALUE and --unset go without it");
        if (!OnTerminal())
            throw UsageError("--interactive needs a terminal on standard input and output");
        return true;
    }
    return !ChangesGiven(options) && !options.porcelain && OnTerminal();
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
// filled in by `edit`, the others put in directly, the unset keys gone.
// Nothing when `edit` saved nothing.
std::optional<GameSection> Configure(const CommandContext &context, const std::optional<GameSection> &section,
                                     const PageEdit &edit)
{
    const HostOptions &options = context.options;
    const SplitAssignments split = Split(options.assignments);
    GameSection base = section.value_or(GameSection{});
    if (section)
        Unset(options, base);
    PutDirectly(base, split.direct);
    PluginHost host(context.api, [&](const HostNotification &n) { context.output.Notify(n); }, context.watcher);
    const GameSession game(context.api, options.game, section ? std::optional(base) : std::nullopt);
    if (!edit(host, game.Name()))
        return std::nullopt;
    GameSection saved = game.Save(std::move(base));
    RemoveAll(saved, options.unsetKeys);
    return saved;
}

void Save(ProjectFile &project, const HostOptions &options, const GameSection &saved)
{
    project.Store(options.game, saved, std::set<std::string>(options.unsetKeys.begin(), options.unsetKeys.end()));
    project.Save();
}

int ExitCodeOf(const PageOutcome &outcome)
{
    if (outcome.end == PageEnd::Confirmed)
        return EXIT_OK;
    std::fprintf(stderr, "morv-host: %s; nothing was saved\n",
                 outcome.end == PageEnd::Cancelled ? "the page was closed" : "interrupted");
    return outcome.end == PageEnd::Cancelled ? EXIT_OK : ExitForSignal(outcome.signal);
}

// The page for a person, saved as a change given on the command line is.
// The project stays locked while the page is open, so no other update
// comes in between.
int EditOnTerminal(const CommandContext &context)
{
    ProjectFile project(ProjectPath(context.options));
    const ProjectLock lock(project.Path());
    project.Load(true);
    PageOutcome outcome;
    const std::string title = "morv-host config: MORVTRANSPORT settings of game \"" + context.options.game + "\"";
    const std::optional<GameSection> saved =
        Configure(context, project.Find(context.options.game), [&](PluginHost &host, const CString &game) {
            ConfigPage page(context.api, game);
            outcome = RunPageOnTerminal(page, host, context.watcher, context.output, title);
            if (outcome.end == PageEnd::Confirmed)
                page.Confirm();
            return outcome.end == PageEnd::Confirmed;
        });
    if (saved)
        Save(project, context.options, *saved);
    return ExitCodeOf(outcome);
}

}  // namespace

int RunConfig(const CommandContext &context)
{
    const HostOptions &options = context.options;
    if (OpensPage(options))
        return EditOnTerminal(context);
    ProjectFile project(ProjectPath(options));
    if (!ChangesGiven(options)) {
        project.Load(false);
        return ShowSettings(context, project);
    }
    CheckRequest(options);
    const ProjectLock lock(project.Path());
    project.Load(options.unsetKeys.empty());
    const std::optional<GameSection> section =
        options.unsetKeys.empty() ? project.Find(options.game) : std::optional(project.Require(options.game));
    const Assignments pageKeys = Split(options.assignments).page;
    const std::optional<GameSection> saved = Configure(context, section, [&](PluginHost &, const CString &game) {
        ConfigPageDriver(context.api).Apply(game, pageKeys);
        return true;
    });
    Save(project, options, *saved);
    return EXIT_OK;
}
