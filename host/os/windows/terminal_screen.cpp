#include "host/os/terminal_screen.h"

#include <windows.h>

#include <stdexcept>

// No curses on Windows: the configuration page is a window there, so no
// command takes the console for one.
TerminalScreen::TerminalScreen() { throw std::runtime_error("the Windows build draws no page on a console"); }

TerminalScreen::~TerminalScreen() = default;

std::optional<TerminalKey> TerminalScreen::NextKey() { return std::nullopt; }

int TerminalScreen::InputFd() const { return -1; }

namespace {

// A console gives its handles a console mode; a pipe or a file has none.
bool IsConsole(DWORD standardHandle)
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(standardHandle), &mode) != 0;
}

}  // namespace

bool OnTerminal() { return IsConsole(STD_INPUT_HANDLE) && IsConsole(STD_OUTPUT_HANDLE); }

bool InputOnTerminal() { return IsConsole(STD_INPUT_HANDLE); }

const char *const END_OF_INPUT_KEYS = "Ctrl-Z, then Enter";
