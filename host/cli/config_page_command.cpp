// config for a person: the plug-in's page with the host's own section
// under it, on the terminal or in the host's settings window. The project is locked only to read it and to save:
// another program may change it while the page is open, so saving writes
// only what the page changed into the project as it is then.
#include "host/cli/commands.h"

#include "host/page/config_page.h"
#include "host/page/connection_section.h"
#include "host/page/connection_settings.h"
#include "host/page/interactive_page.h"
#include "host/project/settings_edit.h"
#include "host/session/game_session.h"
#include "host/text/text_codec.h"
#include "host/text/usage_error.h"

#include <cstdio>
#include <functional>

namespace {

std::optional<GameSection> FindOurs(const ProjectFile &project, const std::string &game)
{
    std::optional<GameSection> section = project.Find(game);
    if (section)
        CheckSectionIsOurs(game, *section);
    return section;
}

// The lock is held only while the project is read.
std::optional<GameSection> ReadSection(ProjectFile &project, const std::string &game)
{
    const ProjectLock lock(project.Path());
    project.Load(true);
    return FindOurs(project, game);
}

std::string Quoted(const std::optional<std::string> &ansi)
{
    return ansi ? "\"" + AnsiToUtf8(*ansi) + "\"" : std::string("nothing");
}

std::string ChangedMeanwhileQuestion(const std::vector<std::string> &keys, const std::optional<GameSection> &current)
{
    std::string list;
    for (const std::string &key : keys)
        list += (list.empty() ? "" : ", ") + AnsiToUtf8(key) + " to " + Quoted(ValueIn(current, key));
    return "While the page was open, another program changed " + list +
           ". Save yours over it (y), or keep its value (n)?";
}

// Saves the page when the person presses Enter, and asks about the keys
// another program changed meanwhile.
class PageSave {
public:
    PageSave(const CommandContext &context, const GameSession &game, ConfigPage &page,
             const ConnectionSection &section, const std::optional<GameSection> &opened)
        : m_context(context), m_game(game), m_page(page), m_section(section), m_opened(opened), m_edit(opened)
    {
    }

    SaveAnswer operator()(SaveChoice choice)
    {
        try {
            if (choice == SaveChoice::None)
                m_edit.SetEdited(Edited());
            else if (choice == SaveChoice::Yes)
                m_edit.Overwrite(m_asked, m_askedAbout);
            else
                m_edit.KeepOutside(m_asked);
            return IntoProject();
        } catch (const UsageError &refused) {
            return SaveAnswer{false, refused.what(), false};
        }
    }

private:
    // The page confirmed as the host's OK does and saved by the plug-in,
    // with the host's section over it.
    GameSection Edited()
    {
        Assignments connection = m_section.Changes();
        for (auto &[key, value] : connection)
            value = CheckedConnectionValue(key, value);
        m_page.Confirm();
        GameSection edited = m_game.Save(m_opened.value_or(GameSection{}));
        PutAssignments(edited.pairs, connection);
        return edited;
    }

    SaveAnswer IntoProject()
    {
        ProjectFile project(ProjectPath(m_context.options));
        const ProjectLock lock(project.Path());
        project.Load(true);
        const std::string &game = m_context.options.game;
        std::optional<GameSection> current = FindOurs(project, game);
        m_asked = m_edit.ChangedMeanwhile(current);
        if (!m_asked.empty()) {
            m_askedAbout = current;
            return SaveAnswer{false, ChangedMeanwhileQuestion(m_asked, current), true};
        }
        const GameSection saved = m_edit.AppliedTo(std::move(current));
        if (m_edit.Changes("Login") || m_edit.Changes("Security"))
            CheckLoginGoesOverTls(saved.pairs);
        project.Store(game, saved);
        project.Save();
        return SaveAnswer{true, {}, false};
    }

    const CommandContext &m_context;
    const GameSession &m_game;
    ConfigPage &m_page;
    const ConnectionSection &m_section;
    const std::optional<GameSection> &m_opened;
    SettingsEdit m_edit;
    std::vector<std::string> m_asked;  // the keys of the question asked
    std::optional<GameSection> m_askedAbout;
};

int ExitCodeOf(const PageOutcome &outcome)
{
    if (outcome.end == PageEnd::Confirmed)
        return EXIT_OK;
    std::fprintf(stderr, "morv-host: %s; nothing was saved\n",
                 outcome.end == PageEnd::Cancelled ? "the page was closed" : "interrupted");
    return outcome.end == PageEnd::Cancelled ? EXIT_OK : ExitForSignal(outcome.signal);
}

}  // namespace

int RunConfigPage(const CommandContext &context)
{
    const HostOptions &options = context.options;
    ProjectFile project(ProjectPath(options));
    const std::optional<GameSection> opened = ReadSection(project, options.game);
    PluginHost host(context.api, [&](const HostNotification &n) { context.output.Notify(n); }, context.watcher);
    const GameSession game(context.api, options.game, opened);
    ConfigPage page(context.api, game.Name());
    const ConnectionSection section(page.SettingsWindowHandle(), opened ? opened->pairs : CMapStringToString());
    PageSave save(context, game, page, section, opened);
    const std::string title = "morv-host config: MORVTRANSPORT settings of game \"" + options.game + "\"";
    const PageOutcome outcome = RunInteractivePage({page.Window(), section.Window()}, host, context.watcher,
                                                   context.output, title, std::ref(save));
    return ExitCodeOf(outcome);
}
