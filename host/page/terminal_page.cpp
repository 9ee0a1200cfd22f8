#include "host/page/terminal_page.h"

#include "host/os/signal_watcher.h"
#include "host/os/terminal_screen.h"
#include "host/page/page_painter.h"

#include <poll.h>

#include <cerrno>
#include <csignal>
#include <system_error>

namespace {

PageView ViewOf(HWND page, const PageKeys &keys, const std::string &title)
{
    return PageView{title, PageCells(GetWindowRect(page)), ReadPage(page), GetFocus(), keys.Caret()};
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

}  // namespace

PageOutcome RunPageOnTerminal(ConfigPage &page, PluginHost &host, const SignalWatcher *watcher,
                              HostOutput &output, const std::string &title)
{
    const HeldNotifications held(output);
    TerminalScreen screen;
    PageKeys keys(page.Window());
    for (;;) {
        PaintPage(ViewOf(page.Window(), keys, title));
        const Wake wake = WaitForKeysOrSignal(screen.InputFd(), watcher);
        if (wake == Wake::Signal)
            return Interrupted(host);
        if (wake == Wake::TerminalGone)
            return PageOutcome{PageEnd::Interrupted, SIGHUP};
        while (const std::optional<TerminalKey> key = screen.NextKey()) {
            const PageEnd end = keys.Press(*key);
            if (end != PageEnd::Open)
                return PageOutcome{end, end == PageEnd::Interrupted ? SIGINT : 0};
        }
    }
}
