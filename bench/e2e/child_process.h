// Child processes of the end-to-end benchmark: the clients it times as
// whole processes, and the SMTP sink it keeps running meanwhile. Every
// child inherits the benchmark's CPU affinity. Main thread only.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

struct ChildRun {
    bool ok = false;       // exited with 0
    double seconds = 0;    // from start to end
    long switches = 0;     // context switches of all its threads
    std::string output;    // its standard output, when captured
};

// Runs `argv` (argv[0] a path) to its end.
ChildRun RunChild(const std::vector<std::string> &argv, bool captureOutput = false);

// A child that runs until the owner goes: then SIGTERM, and waited for.
class RunningChild {
public:
    explicit RunningChild(const std::vector<std::string> &argv);
    ~RunningChild();
    RunningChild(const RunningChild &) = delete;
    RunningChild &operator=(const RunningChild &) = delete;

    bool Started() const { return m_pid > 0; }

private:
    pid_t m_pid = -1;
};

// `name` as an executable found in PATH, /usr/sbin or /sbin;
// empty when none is.
std::string FindProgram(const std::string &name);
