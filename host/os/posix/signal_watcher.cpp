#include "host/os/signal_watcher.h"

#include "platform/host_window.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <system_error>

namespace {

sigset_t TerminationSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    return signals;
}

}  // namespace

SignalWatcher::SignalWatcher()
{
    const sigset_t signals = TerminationSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    m_signalFd = UniqueFd(signalfd(-1, &signals, SFD_CLOEXEC));
    if (!m_signalFd.Valid())
        throw std::system_error(errno, std::generic_category(), "signal watcher");
    m_thread = std::thread([this] { Run(); });
}

SignalWatcher::~SignalWatcher()
{
    m_stop.Raise();
    m_thread.join();
}

void SignalWatcher::Run()
{
    for (;;) {
        pollfd fds[2] = {{m_signalFd.Get(), POLLIN, 0}, {m_stop.PollFd(), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0)
            continue;
        if (fds[1].revents)
            return;
        signalfd_siginfo info{};
        if (fds[0].revents && read(m_signalFd.Get(), &info, sizeof info) == sizeof info)
            Deliver(static_cast<int>(info.ssi_signo));
    }
}

void SignalWatcher::Deliver(int signal)
{
    const HWND target = m_target.load();
    if (target) {
        m_caught.Raise();
        SendMessageA(target, INTERRUPT_MESSAGE, static_cast<WPARAM>(signal), 0);
        return;
    }
    // No plug-in session is open, so there is nothing to cancel.
    static constexpr char MESSAGE[] = "morv-host: interrupted\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, MESSAGE, sizeof MESSAGE - 1);
    _exit(128 + signal);
}
