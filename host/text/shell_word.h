// A word as a shell command line takes it back unchanged, for commands
// that morv-host suggests.
#pragma once

#include <string>

// `word` as it is when the shell leaves it so, else in single quotes.
std::string ShellWord(const std::string &word);
