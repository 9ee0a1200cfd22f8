#include "host/cli/command_line.h"

#include "host/cli/command_words.h"
#include "host/cli/message_body.h"
#include "host/os/user_folders.h"
#include "host/page/interactive_page.h"
#include "host/text/usage_error.h"
#include "morvtransport/morvtransport.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <string>

namespace {

constexpr int EXIT_USAGE = 2;

// What the parse gathers before it becomes HostOptions.
struct RawArguments {
    std::vector<std::string> assignments;
    std::vector<std::string> extraPairs;
    std::string helpTopic;
    bool helpAll = false;
    bool help = false;
};

void AddGlobalOptions(CLI::App &app, HostOptions &options)
{
    app.add_option("--project", options.project,
                   "project file (default: " + std::string(USER_SETTINGS_FOLDER_NAME) + "/morvtransport/project.json)");
    app.add_option("--plugin", options.plugin, "plug-in library (default: the one installed with morv-host)");
    app.add_option("--lang", options.language, "language of the plug-in's texts")->check(CLI::IsMember({"en", "ru"}));
    app.add_flag("--porcelain", options.porcelain, "stable output for scripts, one line per notification");
}

void AddTimeout(CLI::App &command, HostOptions &options, const char *what)
{
    command.add_option("--timeout", options.timeoutSeconds, what)->check(CLI::NonNegativeNumber);
}

void AddTrace(CLI::App &command, HostOptions &options)
{
    command.add_option("--trace", options.traceFile,
                       "append every SMTP line sent and received to FILE (- for standard error); the login is hidden");
}

void AddCheckServer(CLI::App &app, HostOptions &options)
{
    CLI::App *check = app.add_subcommand(
        "check-server", "test the game's SMTP server without sending a turn: connect, greet, start TLS and log in "
                        "as the settings say, then QUIT; each step is shown");
    check->add_option("game", options.game, "game name (a game of the project)")->required();
    AddTimeout(*check, options, "give up after SECONDS (default: wait)");
    AddTrace(*check, options);
    check->callback([&options] { options.command = HostCommand::CheckServer; });
}

void AddConfig(CLI::App &app, HostOptions &options, RawArguments &raw)
{
    const std::string page = std::string("page ") + PAGE_PLACE;
    CLI::App *config = app.add_subcommand(
        "config", "configure a game on the command line or on its " + page + ", or show its settings");
    config->add_option("game", options.game, "game name")->required();
    config->add_option("assignments", raw.assignments,
                       "KEY=VALUE settings: From, To, Subject, ServerSMTP, Action, Mailer=0|SMTP|1|MAPI, "
                       "Security=none|starttls|tls, Login, TlsCaFile");
    config->add_option("--unset", options.unsetKeys, "remove KEY from the game's settings (repeatable)")
        ->allow_extra_args(false);
    config->add_flag("--force", options.force, "store keys the plug-in does not know as well");
    CLI::Option *interactive =
        config->add_flag_callback("-i,--interactive", [&options] { options.interactive = true; },
                                  "edit the settings on the configuration " + page +
                                      " (the default on a terminal without KEY=VALUE, --unset and --porcelain)");
    config->add_flag_callback("--no-interactive", [&options] { options.interactive = false; },
                              "show the settings rather than the page")
        ->excludes(interactive);
    config->callback([&options] { options.command = HostCommand::Config; });
}

void AddSend(CLI::App &app, HostOptions &options, RawArguments &raw)
{
    CLI::App *send = app.add_subcommand("send", "send one message per FILE, in the order given "
                                                "(standard input without FILE or for -)");
    send->add_option("game", options.game, "game name (a game of the project)")->required();
    send->add_option("files", options.files, "files whose text is the message's Body");
    send->add_option("--set", raw.extraPairs, "KEY=VALUE pair added to every message, for a key that the game's "
                                              "settings do not hold (repeatable)")
        ->allow_extra_args(false);
    send->add_option("--encoding", options.encoding, "the files' encoding (default utf-8)")
        ->check(CLI::IsMember(BodyEncodings()));
    AddTimeout(*send, options, "give up after SECONDS without all outcomes (default: wait)");
    AddTrace(*send, options);
    send->callback([&options] { options.command = HostCommand::Send; });
}

void AddOtherCommands(CLI::App &app, HostOptions &options, RawArguments &raw)
{
    app.add_subcommand("list", "list the project's games with their mailer, server and recipients")
        ->callback([&options] { options.command = HostCommand::List; });
    CLI::App *check = app.add_subcommand("check", "run Check and print the two status words");
    AddTimeout(*check, options, "give up after SECONDS (default 10)");
    check->callback([&options] { options.command = HostCommand::Check; });
    AddCheckServer(app, options);
    CLI::App *demo = app.add_subcommand("demo", "send a Russian message to a built-in SMTP sink and check it");
    AddTimeout(*demo, options, "give up after SECONDS (default 30)");
    demo->callback([&options] { options.command = HostCommand::Demo; });
    CLI::App *help = app.add_subcommand("help", "show this help, or a command's");
    help->add_option("command", raw.helpTopic, "the command")->check(CLI::IsMember(CommandWords()));
    help->add_flag("--all", raw.helpAll, "the help of the program and of every command");
    help->callback([&raw] { raw.help = true; });
}

Assignments ParseAssignments(const std::vector<std::string> &texts)
{
    Assignments pairs;
    for (const std::string &text : texts)
        pairs.push_back(ParseAssignment(text));
    return pairs;
}

// app.help() would show the help of the command "help" itself.
std::string HelpText(const CLI::App &app, const RawArguments &raw)
{
    const std::string program = app.get_name();
    if (!raw.helpTopic.empty())
        return app.get_subcommand(raw.helpTopic)->help(program);
    std::string text = app.get_formatter()->make_help(&app, program, CLI::AppFormatMode::Normal);
    for (const std::string &command : raw.helpAll ? CommandWords() : std::vector<std::string>{})
        text += "\nCommand " + command + ":\n\n" + app.get_subcommand(command)->help(program);
    return text;
}

ParsedCommandLine Parse(CLI::App &app, HostOptions &options, RawArguments &raw, int argc, const char *const *argv)
{
    try {
        app.parse(argc, argv);
        options.assignments = ParseAssignments(raw.assignments);
        options.extraPairs = ParseAssignments(raw.extraPairs);
    } catch (const CLI::ParseError &error) {
        const int code = app.exit(error);
        return {std::nullopt, code == 0 ? 0 : EXIT_USAGE};
    } catch (const UsageError &error) {
        std::fprintf(stderr, "morv-host: %s\n", error.what());
        return {std::nullopt, EXIT_USAGE};
    }
    if (raw.help) {
        std::fputs(HelpText(app, raw).c_str(), stdout);
        return {std::nullopt, 0};
    }
    return {std::move(options), 0};
}

}  // namespace

ParsedCommandLine ParseCommandLine(int argc, const char *const *argv)
{
    if (const std::optional<std::string> problem = UnknownCommandProblem(argc, argv)) {
        std::fprintf(stderr, "morv-host: %s\n", problem->c_str());
        return {std::nullopt, EXIT_USAGE};
    }
    CLI::App app("morv-host: a host for the MORVTRANSPORT mail transport plug-in", "morv-host");
    // Options start with '-' on every system: "/path" is a file on Windows too.
    app.allow_windows_style_options(false);
    HostOptions options;
    RawArguments raw;
    app.set_version_flag("--version", std::string("morv-host for MORVTRANSPORT ") + MORV_VERSION);
    AddGlobalOptions(app, options);
    AddConfig(app, options, raw);
    AddSend(app, options, raw);
    AddOtherCommands(app, options, raw);
    app.footer(HELP_FOOTER);  // after the commands, which would inherit it
    app.require_subcommand(1);
    app.fallthrough();
    return Parse(app, options, raw, argc, argv);
}

DWORD TimeoutMs(const HostOptions &options, DWORD unset)
{
    if (options.timeoutSeconds <= 0)
        return unset;
    return static_cast<DWORD>(std::min(options.timeoutSeconds * 1000, static_cast<double>(INFINITE - 1)));
}
