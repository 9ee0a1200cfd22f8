// The words of morv-host's command line that are checked before CLI11
// parses it: the command names, a mistyped command, and the closing words
// of --help.
#pragma once

#include <optional>
#include <string>
#include <vector>

// "config", "send", "list", "check", "demo", "help".
const std::vector<std::string> &CommandWords();

// What is wrong when the first word after the global options is no
// command: "\"sned\" is no command; did you mean \"send\"?". Nothing when
// it is one, or when there is none (CLI11 says so).
std::optional<std::string> UnknownCommandProblem(int argc, const char *const *argv);

// The end of --help: exit status and the error numbers players meet.
extern const char *const HELP_FOOTER;
