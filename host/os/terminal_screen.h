// TerminalScreen: the terminal taken over by curses for as long as the
// object lives: raw keys (Ctrl-C arrives as a key), no echo, function
// keys decoded, the screen of its own. The destructor gives the terminal
// back as it was on every way out, exceptions included. One at a time, on
// the host's thread.
#pragma once

#include <cwchar>
#include <optional>

struct screen;

// One key a person pressed: a character or a curses KEY_ code.
struct TerminalKey {
    wint_t code = 0;
    bool function = false;  // a KEY_ code rather than a character
};

class TerminalScreen {
public:
    // Throws std::runtime_error when standard input and output are no
    // terminal curses can drive.
    TerminalScreen();
    ~TerminalScreen();
    TerminalScreen(const TerminalScreen &) = delete;
    TerminalScreen &operator=(const TerminalScreen &) = delete;

    // The next key already typed, without waiting.
    std::optional<TerminalKey> NextKey();
    // The descriptor that becomes readable when keys are typed.
    int InputFd() const;

private:
    screen *m_screen = nullptr;
};

// Both standard input and standard output are terminals.
bool OnTerminal();
// Standard input is a terminal: a person types what is read from it.
bool InputOnTerminal();
// How a person at the terminal ends what they type.
extern const char *const END_OF_INPUT_KEYS;
