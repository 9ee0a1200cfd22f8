#include "host/cli/commands.h"

#include "host/project/project_file.h"
#include "host/text/text_codec.h"
#include "platform/resources.h"

#include <cstdio>

namespace {

void ChooseLanguage(const std::string &language)
{
    if (language == "en")
        SetResourceLanguage(ResourceLanguage::English);
    else if (language == "ru")
        SetResourceLanguage(ResourceLanguage::Russian);
}

int RunCommand(const CommandContext &context)
{
    switch (context.options.command) {
    case HostCommand::Config: return RunConfig(context);
    case HostCommand::Send: return RunSend(context);
    case HostCommand::Check: return RunCheck(context);
    case HostCommand::CheckServer: return RunCheckServer(context);
    case HostCommand::Demo: return RunDemo(context);
    case HostCommand::List: break;
    }
    return EXIT_SETUP;
}

int LoadAndRun(const HostOptions &options, SignalWatcher *watcher)
{
    ChooseLanguage(options.language);
    HostOutput output(options.porcelain ? OutputForm::Porcelain : OutputForm::Human, stdout);
    if (options.command == HostCommand::List)
        return RunList(options, output);
    const PluginModule plugin(options.plugin.empty() ? PluginModule::DefaultPath() : std::filesystem::path(options.plugin));
    return RunCommand(CommandContext{options, plugin.Api(), output, watcher});
}

}  // namespace

std::filesystem::path ProjectPath(const HostOptions &options)
{
    return options.project.empty() ? ProjectFile::DefaultPath() : std::filesystem::path(options.project);
}

GameSection RequireGameSection(const HostOptions &options)
{
    ProjectFile project(ProjectPath(options));
    project.Load(false);
    return project.Require(options.game);
}

int RunHost(int argc, const char *const *argv, SignalWatcher *watcher)
{
    const ParsedCommandLine parsed = ParseCommandLine(argc, argv);
    if (!parsed.options)
        return parsed.exitCode;
    try {
        return LoadAndRun(*parsed.options, watcher);
    } catch (const std::exception &error) {
        std::fflush(stdout);
        std::fprintf(stderr, "morv-host: %s\n", error.what());
        return EXIT_SETUP;
    }
}
