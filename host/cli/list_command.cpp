#include "host/cli/commands.h"

int RunList(const HostOptions &options, HostOutput &output)
{
    ProjectFile project(ProjectPath(options));
    project.Load(false);
    const std::vector<std::string> games = project.GameNames();
    if (games.empty() && output.Form() == OutputForm::Human)
        output.Write("no games in " + project.Path().string() + "; configure one: morv-host config GAME KEY=VALUE ...\n");
    for (const std::string &game : games)
        output.Write(FormatGameLine(output.Form(), game, project.Require(game).pairs) + "\n");
    return EXIT_OK;
}
