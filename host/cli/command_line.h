// The command line of morv-host, parsed with CLI11.
#pragma once

#include "host/page/settings_keys.h"
#include "platform/win_types.h"

#include <optional>
#include <string>
#include <vector>

enum class HostCommand { Config, Send, List, Check, CheckServer, Demo };

struct HostOptions {
    std::string project;   // empty: ProjectFile::DefaultPath()
    std::string plugin;    // empty: PluginModule::DefaultPath()
    std::string language;  // "en", "ru" or empty for the locale's
    bool porcelain = false;
    HostCommand command = HostCommand::Check;
    std::string game;
    Assignments assignments;            // config: KEY=VALUE
    std::vector<std::string> unsetKeys; // config: --unset KEY
    bool force = false;                 // config: store keys the plug-in does not know
    std::optional<bool> interactive;    // config: the page on the terminal; unset: when there is one
    std::vector<std::string> files;     // send: bodies; "-" is standard input
    std::string encoding = "utf-8";     // send: the files' encoding
    Assignments extraPairs;             // send: --set KEY=VALUE
    double timeoutSeconds = 0;          // 0: no limit
    std::string traceFile;              // send, check-server: the SMTP transcript's file, "-" standard error; empty: none
};

struct ParsedCommandLine {
    std::optional<HostOptions> options;  // absent when the program should exit
    int exitCode = 0;                    // then: 0 after help, 2 after an error
};

// Parses the arguments; help and error texts go to standard output and
// standard error. An unknown command is named with the nearest known one;
// "help [COMMAND]" shows the help of the program or of a command, "help
// --all" of both.
ParsedCommandLine ParseCommandLine(int argc, const char *const *argv);

// The --timeout as a bound in ms: `unset` when none was given, else the
// seconds given, kept below INFINITE (which would mean no bound at all).
DWORD TimeoutMs(const HostOptions &options, DWORD unset);
