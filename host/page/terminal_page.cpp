// The configuration page for a person at the terminal: the pages drawn one
// under another from their window model (PagePainter), the keys passed on
// to their controls (PageKeys); Enter saves, y and n answer the saver's
// question.
#include "host/page/interactive_page.h"

#include "host/os/signal_watcher.h"
#include "host/os/terminal_screen.h"
#include "host/page/page_keys.h"
#include "host/page/page_painter.h"

#include <curses.h>
#include <poll.h>

#include <cerrno>
#include <csignal>
#include <system_error>

namespace {

constexpr const char *PAGE_KEYS = "Tab/Shift-Tab: move  Up/Down/Space: choose in a list  Enter: save  Esc: cancel";
constexpr const char *QUESTION_KEYS = "y: yes  n: no  Esc: leave without saving";

PageView ViewOf(const std::vector<HWND> &pages, const PageKeys &keys, const std::string &title,
                const SaveAnswer &answer)
{
    return PageView{title,         ReadPages(pages),
                    GetFocus(),    keys.Caret(),
                    answer.notice, answer.question ? QUESTION_KEYS : PAGE_KEYS};
}

enum class Wake { Keys, Signal, TerminalGone };

Wake WaitForKeysOrSignal(int keysFd, const SignalWatcher *watcher)
{
    pollfd fds[2] = {{keysFd, POLLIN, 0}, {watcher ? watcher->Caught().PollFd() : -1, POLLIN, 0}};
    if (poll(fds, 2, -1) < 0 && errno != EINTR)
        throw std::system_error(errno, std::generic_category(), "poll");
    if (fds[1].revents & POLLIN)
        return Wake::Signal;
    const bool gone = (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) && !(fds[0].revents & POLLIN);
    return gone ? Wake::TerminalGone : Wake::Keys;
}

// The signal reaches the host's window as a message: run it, unless an
// earlier pump already has.
PageOutcome Interrupted(PluginHost &host)
{
    host.PumpUntil([&] { return host.Interrupts() > 0; }, INFINITE);
    return PageOutcome{PageEnd::Interrupted, host.LastSignal()};
}

// Enter asks to save; the pages stay open while the saver has a notice.
PageEnd PressOnPage(PageKeys &keys, const TerminalKey &key, const PageSaver &save, SaveAnswer &answer)
{
    const PageEnd end = keys.Press(key);
    return end == PageEnd::Confirmed ? SaveFromPage(save, SaveChoice::None, answer) : end;
}

// While the saver asks, only y, n and the keys that leave count.
PageEnd Answer(const TerminalKey &key, const PageSaver &save, SaveAnswer &answer)
{
    if (!key.function && (key.code == 'y' || key.code == 'n'))
        return SaveFromPage(save, key.code == 'y' ? SaveChoice::Yes : SaveChoice::No, answer);
    const PageEnd end = EndOf(key);
    if (end == PageEnd::Cancelled || end == PageEnd::Interrupted)
        return end;
    if (!(key.function && key.code == KEY_RESIZE))
        beep();
    return PageEnd::Open;
}

}  // namespace

bool PageNeedsTerminal() { return true; }

const char *const PAGE_PLACE = "in the terminal";

// Takes the terminal over and gives it back as it was on every way out;
// the host's notifications wait and are written after.
PageOutcome RunInteractivePage(const std::vector<HWND> &pages, PluginHost &host, const SignalWatcher *watcher,
                               HostOutput &output, const std::string &title, const PageSaver &save)
{
    const HeldNotifications held(output);
    TerminalScreen screen;
    PageKeys keys(pages);
    SaveAnswer answer;
    for (;;) {
        PaintPage(ViewOf(pages, keys, title, answer));
        const Wake wake = WaitForKeysOrSignal(screen.InputFd(), watcher);
        if (wake == Wake::Signal)
            return Interrupted(host);
        if (wake == Wake::TerminalGone)
            return PageOutcome{PageEnd::Interrupted, SIGHUP};
        while (const std::optional<TerminalKey> key = screen.NextKey()) {
            const PageEnd end = answer.question ? Answer(*key, save, answer) : PressOnPage(keys, *key, save, answer);
            if (end != PageEnd::Open)
                return PageOutcome{end, end == PageEnd::Interrupted ? SIGINT : 0};
        }
    }
}
