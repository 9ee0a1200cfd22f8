// HostProcess: the built morv-host run as a script runs it: arguments,
// standard input, its standard output and error collected as they come,
// signals sent to it, and a deadline on everything. Test thread only.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

struct HostRun {
    int exitCode = -1;  // -1: killed at the deadline
    std::string out;
    std::string err;
};

// How the program is started beyond its arguments.
struct HostSetup {
    // Changes to the test's environment: "NAME=VALUE" sets, "NAME" removes.
    std::vector<std::string> environment{};
    // The largest file the program may write (RLIMIT_FSIZE); a write past
    // it fails with EFBIG, since SIGXFSZ is ignored.
    rlim_t fileSizeLimit = RLIM_INFINITY;
};

class HostProcess {
public:
    HostProcess(const std::vector<std::string> &arguments, const std::string &input = {},
                const HostSetup &setup = {});
    ~HostProcess();
    HostProcess(const HostProcess &) = delete;
    HostProcess &operator=(const HostProcess &) = delete;

    // Reads output until standard output holds `needle`; false at the
    // deadline or when the program ended first.
    bool WaitForOutput(const std::string &needle, std::chrono::milliseconds timeout);
    void Signal(int signal);
    // Waits for the end; kills the program when `timeout` passes first.
    HostRun Finish(std::chrono::milliseconds timeout);

private:
    // Reads what is there, waiting up to `timeout`; false once both
    // streams are at their end.
    bool ReadSome(std::chrono::milliseconds timeout);

    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
    HostRun m_run;
};

constexpr std::chrono::milliseconds HOST_DEADLINE{30000};

// Runs morv-host to its end.
HostRun RunHostProgram(const std::vector<std::string> &arguments, const std::string &input = {},
                       std::chrono::milliseconds timeout = HOST_DEADLINE, const HostSetup &setup = {});
