#include "host/commands.h"

#include "host/project_file.h"
#include "host/text_codec.h"
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
    case HostCommand::Demo: return RunDemo(context);
    }
    return EXIT_SETUP;
}

int LoadAndRun(const HostOptions &options, SignalWatcher *watcher)
{
    ChooseLanguage(options.language);
    const PluginModule plugin(options.plugin.empty() ? PluginModule::DefaultPath() : std::filesystem::path(options.plugin));
    HostOutput output(options.porcelain ? OutputForm::Porcelain : OutputForm::Human, stdout);
    return RunCommand(CommandContext{options, plugin.Api(), output, watcher});
}

}  // namespace

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
