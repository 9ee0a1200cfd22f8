// Running the sendmail program for one mail: it reads the mail on its
// standard input and its exit status tells the outcome (sysexits.h).
// Blocks the calling thread until the program has ended and is reaped;
// another thread may end it sooner through a CProgramWatch.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Who may end a running program from another thread (KillProgram). Started
// comes before the program's input is written (false: it is killed at
// once), Ending after it has exited but before it is reaped: in between its
// process group ID names it and nothing else, so a kill never reaches
// another process.
class CProgramWatch {
public:
    virtual ~CProgramWatch() = default;
    virtual bool Started(int group) = 0;
    virtual void Ending(int group) = 0;
};

// Runs `program` (looked up on PATH when it holds no '/') with `arguments`
// in a process group of its own, writes `input` to its standard input and
// waits for its end. The exit status, or -1 when it could not run or was
// killed by a signal.
int RunWithInput(const std::string &program, const std::vector<std::string> &arguments, std::string_view input,
                 CProgramWatch *watch = nullptr);

// Kills the process group of a program that RunWithInput runs: the program
// and whatever it started.
void KillProgram(int group);

// The Simple MAPI result for an exit status of RunWithInput.
std::uint32_t ResultOfExit(int status);
