#include "tmux_terminal.h"

#include "support/shell_command.h"

#include <sstream>
#include <thread>

namespace {

constexpr std::chrono::seconds DEADLINE{15};
constexpr std::chrono::milliseconds POLL_PERIOD{20};

// The window stays when its program ends, so its last screen can be read;
// keys go through without waiting for escape sequences.
constexpr const char *CONFIGURATION = "set -g remain-on-exit on\n"
                                      "set -s escape-time 0\n"
                                      "set -g default-terminal tmux-256color\n";

// Runs the program with the terminal's modes noted before and after, then
// says how it ended: "ended STATUS restored|changed".
constexpr const char *WRAPPER = R"sh(pidfile=$1; shift
before=$(stty -g)
sh -c 'echo $$ > "$0"; exec "$@"' "$pidfile" "$@"
status=$?
if [ "$(stty -g)" = "$before" ]; then modes=restored; else modes=changed; fi
echo "ended $status $modes"
)sh";

// The wrapper's last line, "ended STATUS restored|changed", when the
// screen shows it.
bool ReadEnding(const std::string &screen, int &status, std::string &modes)
{
    const std::size_t at = screen.rfind("ended ");
    if (at == std::string::npos)
        return false;
    std::istringstream line(screen.substr(at + 6));
    return static_cast<bool>(line >> status >> modes) && (modes == "restored" || modes == "changed");
}

}  // namespace

bool TmuxTerminal::Available() { return CommandSucceeds("command -v tmux"); }

TmuxTerminal::TmuxTerminal(const std::vector<std::string> &command, TerminalSize size)
{
    WriteFile(m_folder / "tmux.conf", CONFIGURATION);
    WriteFile(m_folder / "wrapper.sh", WRAPPER);
    std::vector<std::string> arguments{"new-session", "-d", "-x", std::to_string(size.columns),
                                       "-y", std::to_string(size.lines), "env", "TERM=tmux-256color",
                                       "LC_ALL=C.UTF-8", "sh", (m_folder / "wrapper.sh").string(),
                                       (m_folder / "pid").string()};
    arguments.insert(arguments.end(), command.begin(), command.end());
    Tmux(arguments);
}

TmuxTerminal::~TmuxTerminal() { Tmux({"kill-server"}); }

std::string TmuxTerminal::Tmux(const std::vector<std::string> &arguments)
{
    std::string commandLine = "TERM=xterm-256color LC_ALL=C.UTF-8 tmux -u -f " +
                              ShellQuoted((m_folder / "tmux.conf").string()) + " -S " +
                              ShellQuoted((m_folder / "socket").string());
    for (const std::string &argument : arguments)
        commandLine += " " + ShellQuoted(argument);
    return CommandOutput(commandLine + " 2>/dev/null");
}

void TmuxTerminal::Resize(TerminalSize size)
{
    Tmux({"resize-window", "-x", std::to_string(size.columns), "-y", std::to_string(size.lines)});
}

void TmuxTerminal::Keys(const std::vector<std::string> &keys)
{
    std::vector<std::string> arguments{"send-keys"};
    arguments.insert(arguments.end(), keys.begin(), keys.end());
    Tmux(arguments);
}

void TmuxTerminal::Type(const std::string &text) { Tmux({"send-keys", "-l", text}); }

std::string TmuxTerminal::Screen() { return Tmux({"capture-pane", "-p"}); }

bool TmuxTerminal::WaitForScreen(const std::function<bool(const std::string &)> &holds)
{
    const auto deadline = std::chrono::steady_clock::now() + DEADLINE;
    while (!holds(Screen())) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(POLL_PERIOD);
    }
    return true;
}

bool TmuxTerminal::WaitForScreen(const std::string &part)
{
    return WaitForScreen([&](const std::string &screen) { return screen.find(part) != std::string::npos; });
}

pid_t TmuxTerminal::ProgramPid() const { return static_cast<pid_t>(std::stol(ReadFile(m_folder / "pid"))); }

std::optional<TmuxTerminal::Ending> TmuxTerminal::WaitForEnd()
{
    int status = -1;
    std::string modes;
    if (!WaitForScreen([&](const std::string &screen) { return ReadEnding(screen, status, modes); }))
        return std::nullopt;
    const bool mainScreen = Tmux({"display-message", "-p", "#{alternate_on}"}) == "0\n";
    return Ending{status, modes == "restored" && mainScreen};
}
