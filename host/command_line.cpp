#include "host/command_line.h"

#include "host/usage_error.h"
#include "morvtransport/morvtransport.h"

#include <CLI/CLI.hpp>

#include <algorithm>

namespace {

constexpr int EXIT_USAGE = 2;

void AddGlobalOptions(CLI::App &app, HostOptions &options)
{
    app.add_option("--project", options.project, "project file (default: $XDG_CONFIG_HOME/morvtransport/project.json)");
    app.add_option("--plugin", options.plugin, "plug-in library (default: the one installed beside morv-host)");
    app.add_option("--lang", options.language, "language of the plug-in's texts")->check(CLI::IsMember({"en", "ru"}));
    app.add_flag("--porcelain", options.porcelain, "stable output for scripts, one line per notification");
}

void AddTimeout(CLI::App &command, HostOptions &options, const char *what)
{
    command.add_option("--timeout", options.timeoutSeconds, what)->check(CLI::NonNegativeNumber);
}

void AddCommands(CLI::App &app, HostOptions &options, std::vector<std::string> &assignments,
                 std::vector<std::string> &extraPairs)
{
    CLI::App *config = app.add_subcommand("config", "configure a game, or show its settings");
    config->add_option("game", options.game, "game name")->required();
    config->add_option("assignments", assignments, "KEY=VALUE settings (From, To, Subject, ServerSMTP, Action, "
                                                   "Mailer=0|SMTP|1|MAPI, or any other key)");
    config->callback([&options] { options.command = HostCommand::Config; });

    CLI::App *send = app.add_subcommand("send", "send one message per FILE (standard input without FILE or for -)");
    send->add_option("game", options.game, "game name")->required();
    send->add_option("files", options.files, "files whose text is the message's Body");
    send->add_option("--set", extraPairs, "KEY=VALUE pair added to every message (repeatable)")
        ->allow_extra_args(false);
    AddTimeout(*send, options, "give up after SECONDS without all outcomes (default: wait)");
    send->add_option("--trace", options.traceFile,
                     "append every SMTP line sent and received to FILE (- for standard error); the login is hidden");
    send->callback([&options] { options.command = HostCommand::Send; });

    CLI::App *check = app.add_subcommand("check", "run Check and print the two status words");
    AddTimeout(*check, options, "give up after SECONDS (default 10)");
    check->callback([&options] { options.command = HostCommand::Check; });

    CLI::App *demo = app.add_subcommand("demo", "send a Russian message to a built-in SMTP sink and check it");
    AddTimeout(*demo, options, "give up after SECONDS (default 30)");
    demo->callback([&options] { options.command = HostCommand::Demo; });
    app.require_subcommand(1);
    app.fallthrough();
}

Assignments ParseAssignments(const std::vector<std::string> &texts)
{
    Assignments pairs;
    for (const std::string &text : texts)
        pairs.push_back(ParseAssignment(text));
    return pairs;
}

}  // namespace

ParsedCommandLine ParseCommandLine(int argc, const char *const *argv)
{
    CLI::App app("morv-host: a host for the MORVTRANSPORT mail transport plug-in", "morv-host");
    HostOptions options;
    std::vector<std::string> assignments;
    std::vector<std::string> extraPairs;
    app.set_version_flag("--version", std::string("morv-host for MORVTRANSPORT ") + MORV_VERSION);
    AddGlobalOptions(app, options);
    AddCommands(app, options, assignments, extraPairs);
    try {
        app.parse(argc, argv);
        options.assignments = ParseAssignments(assignments);
        options.extraPairs = ParseAssignments(extraPairs);
    } catch (const CLI::ParseError &error) {
        const int code = app.exit(error);
        return {std::nullopt, code == 0 ? 0 : EXIT_USAGE};
    } catch (const UsageError &error) {
        std::fprintf(stderr, "morv-host: %s\n", error.what());
        return {std::nullopt, EXIT_USAGE};
    }
    return {std::move(options), 0};
}

DWORD TimeoutMs(const HostOptions &options, DWORD unset)
{
    if (options.timeoutSeconds <= 0)
        return unset;
    return static_cast<DWORD>(std::min(options.timeoutSeconds * 1000, static_cast<double>(INFINITE - 1)));
}
