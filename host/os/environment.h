// The process's environment, which the plug-in reads (MORV_SMTP_TRACE).
#pragma once

#include <optional>
#include <string>

// Sets `name` for code that reads it from now on. Set it before the threads
// that read the environment start.
void SetProcessEnvironment(const char *name, const std::string &value);
// The value of `name`; nothing when it is not set.
std::optional<std::string> ProcessEnvironment(const char *name);
