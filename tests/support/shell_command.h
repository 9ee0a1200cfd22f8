// Running shell commands from tests: a word quoted for the shell, a
// command's standard output, whether a command succeeded. On Windows (under
// Wine) the shell is the Linux machine's, so a file it names is given by
// its Linux path (ShellPath).
#pragma once

#if defined(_WIN32)
#include "support/windows/unix_process.h"
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

// `text` as one shell word, whatever it holds.
inline std::string ShellQuoted(const std::string &text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// `path` as the shell names it.
inline std::string ShellPath(const std::filesystem::path &path)
{
#if defined(_WIN32)
    return UnixPath(path);
#else
    return path.string();
#endif
}

// What `commandLine` writes to its standard output.
inline std::string CommandOutput(const std::string &commandLine)
{
    const std::unique_ptr<FILE, int (*)(FILE *)> pipe(popen(commandLine.c_str(), "r"), pclose);
    if (!pipe)
        throw std::runtime_error("cannot run " + commandLine);
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        output.append(buffer, n);
    return output;
}

// True when `commandLine` exits with 0; its output is dropped.
inline bool CommandSucceeds(const std::string &commandLine)
{
#if defined(_WIN32)
    return RunUnixShell(commandLine) == 0;
#else
    return std::system((commandLine + " >/dev/null 2>&1").c_str()) == 0;
#endif
}
