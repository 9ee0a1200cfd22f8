#include "host/os/terminal_screen.h"

#include <windows.h>

#include <stdexcept>

// No curses on Windows: the page on a terminal is not there yet, so no
// command takes the console for one.
TerminalScreen::TerminalScreen()
{
    throw std::runtime_error("the configuration page on a terminal is not in the Windows build yet");
}

TerminalScreen::~TerminalScreen() = default;

std::optional<TerminalKey> TerminalScreen::NextKey() { return std::nullopt; }

int TerminalScreen::InputFd() const { return -1; }

bool OnTerminal() { return false; }

// A console gives its input a console mode; a pipe or a file has none.
bool InputOnTerminal()
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

const char *const END_OF_INPUT_KEYS = "Ctrl-Z, then Enter";
