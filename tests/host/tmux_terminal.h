// TmuxTerminal: a program run on a terminal of its own, as a person runs
// it: a private tmux server (its socket in a folder of the test's), one
// window (80 x 24 unless told) with TERM and a UTF-8 locale set, keys sent, the screen
// read. Every wait polls the screen up to a deadline. The server is killed
// when the object goes. Test thread only.
#pragma once

#include "support/temp_folder.h"

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct TerminalSize {
    int columns = 80;
    int lines = 24;
};

class TmuxTerminal {
public:
    struct Ending {
        int exitCode = -1;
        bool terminalGivenBack = false;  // the terminal's modes as before, the main screen shown
    };

    static bool Available();

    explicit TmuxTerminal(const std::vector<std::string> &command, TerminalSize size = {});
    ~TmuxTerminal();
    TmuxTerminal(const TmuxTerminal &) = delete;
    TmuxTerminal &operator=(const TmuxTerminal &) = delete;

    void Resize(TerminalSize size);
    // Keys by tmux's names ("Tab", "C-u", "Enter"), in order.
    void Keys(const std::vector<std::string> &keys);
    // Text typed as it is.
    void Type(const std::string &text);
    std::string Screen();
    // Polls the screen until `holds` is true of it; false at the deadline.
    bool WaitForScreen(const std::function<bool(const std::string &)> &holds);
    bool WaitForScreen(const std::string &part);
    // The program's process, to send it signals.
    pid_t ProgramPid() const;
    // How the program ended; nothing when it runs on past the deadline.
    std::optional<Ending> WaitForEnd();

private:
    std::string Tmux(const std::vector<std::string> &arguments);

    TempFolder m_folder;
};
