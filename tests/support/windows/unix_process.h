// Programs of the Linux machine that Windows tests under Wine start, for
// what Windows has not (the openssl command, a TLS server to test the
// client against). Wine starts a Linux program like a Windows one, but
// its pipes do not reach it: a socket does, so the program's standard
// input and output are one end of a loopback connection. They are started
// through unix_launcher.exe (which says why).
#pragma once

#include "platform/win_types.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The Linux path of a Windows path (Wine's own translation).
std::string UnixPath(const std::filesystem::path &path);

// Runs `command` with the Linux /bin/sh (its output dropped) and waits for
// it: its exit code, or -1 when it could not start.
int RunUnixShell(const std::string &command);

// A Linux program with its standard input and output on a socket of the
// test; it must end on its own once that socket closes (Wine can neither
// wait for a Linux program nor end it).
class UnixChild {
public:
    // `words`: the program's path and arguments.
    explicit UnixChild(const std::vector<std::string> &words);
    ~UnixChild();
    UnixChild(const UnixChild &) = delete;
    UnixChild &operator=(const UnixChild &) = delete;

    // The next line of the program's output, without its end; nothing
    // when none came within `timeout` ms or the output ended (as it does
    // when the program fails).
    std::optional<std::string> ReadLine(DWORD timeout = INFINITE);
    bool Write(const std::string &text);

private:
    SOCKET m_socket = INVALID_SOCKET;
    std::string m_read;  // received beyond the last line returned
};
