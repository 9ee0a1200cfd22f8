#include "host/os/terminal_screen.h"

#include <curses.h>
#include <unistd.h>

#include <stdexcept>

namespace {

// Long enough for a function key's sequence to arrive whole, short enough
// that Esc answers at once.
constexpr int ESCAPE_DELAY_MS = 25;

}  // namespace

TerminalScreen::TerminalScreen()
{
    if (!OnTerminal())
        throw std::runtime_error("the configuration page needs a terminal on standard input and output");
    m_screen = newterm(nullptr, stdout, stdin);
    if (!m_screen)
        throw std::runtime_error("the terminal (TERM) is one that curses does not know");
    raw();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    nodelay(stdscr, TRUE);
    set_escdelay(ESCAPE_DELAY_MS);
}

TerminalScreen::~TerminalScreen()
{
    endwin();
    delscreen(m_screen);
}

std::optional<TerminalKey> TerminalScreen::NextKey()
{
    wint_t code = 0;
    const int kind = wget_wch(stdscr, &code);
    if (kind == ERR)
        return std::nullopt;
    return TerminalKey{code, kind == KEY_CODE_YES};
}

int TerminalScreen::InputFd() const { return STDIN_FILENO; }

bool OnTerminal() { return InputOnTerminal() && isatty(STDOUT_FILENO); }

bool InputOnTerminal() { return isatty(STDIN_FILENO); }

const char *const END_OF_INPUT_KEYS = "Ctrl-D on a line of its own";
