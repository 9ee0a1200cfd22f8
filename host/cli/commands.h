// The commands of morv-host. Each runs on the main thread with the loaded
// plug-in and returns the program's exit code; errors for people are
// thrown (ProjectError, PluginError, UsageError, TextCodecError).
#pragma once

#include "host/cli/command_line.h"
#include "host/project/project_file.h"
#include "host/session/plugin_module.h"
#include "host/text/host_output.h"

class SignalWatcher;

// Exit codes.
constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;        // a delivery failed, or no answer in time
constexpr int EXIT_SETUP = 2;         // usage, project file or plug-in
// After a signal (Ctrl-C, SIGTERM, SIGHUP) cancelled the command: 128 plus
// its number, as a shell reports a program the signal ended.
constexpr int ExitForSignal(int signal) { return 128 + signal; }

// What every command gets.
struct CommandContext {
    const HostOptions &options;
    const EntryPoints &api;
    HostOutput &output;
    SignalWatcher *watcher;  // may be null
};

// The project file the options name, or the default one.
std::filesystem::path ProjectPath(const HostOptions &options);
// The section of the options' game in an existing project; throws
// ProjectError without one.
GameSection RequireGameSection(const HostOptions &options);

int RunConfig(const CommandContext &context);
// config for a person: the configuration page, on the terminal or in a
// window of its own.
int RunConfigPage(const CommandContext &context);
int RunSend(const CommandContext &context);
int RunCheck(const CommandContext &context);
int RunCheckServer(const CommandContext &context);
// Needs no plug-in.
int RunList(const HostOptions &options, HostOutput &output);
int RunDemo(const CommandContext &context);

// Parses the command line, loads the plug-in and runs the command; the
// whole program but main().
int RunHost(int argc, const char *const *argv, SignalWatcher *watcher);
