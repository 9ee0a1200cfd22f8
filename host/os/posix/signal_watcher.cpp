#include "host/os/signal_watcher.h"

#include "platform/host_window.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <functional>
#include <system_error>
#include <thread>

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

// Blocks the signals and reads them from a signalfd on a thread of its own.
struct SignalWatcher::Listener {
    explicit Listener(std::function<void(int)> deliver) : m_deliver(std::move(deliver))
    {
        const sigset_t signals = TerminationSignals();
        pthread_sigmask(SIG_BLOCK, &signals, nullptr);
        m_signalFd = UniqueFd(signalfd(-1, &signals, SFD_CLOEXEC));
        if (!m_signalFd.Valid())
            throw std::system_error(errno, std::generic_category(), "signal watcher");
        m_thread = std::thread([this] { Run(); });
    }

    ~Listener()
    {
        m_stop.Raise();
        m_thread.join();
    }

    void Run()
    {
        for (;;) {
            pollfd fds[2] = {{m_signalFd.Get(), POLLIN, 0}, {m_stop.PollFd(), POLLIN, 0}};
            if (poll(fds, 2, -1) < 0)
                continue;
            if (fds[1].revents)
                return;
            signalfd_siginfo info{};
            if (fds[0].revents && read(m_signalFd.Get(), &info, sizeof info) == sizeof info)
                m_deliver(static_cast<int>(info.ssi_signo));
        }
    }

    std::function<void(int)> m_deliver;
    UniqueFd m_signalFd;
    PollFlag m_stop;
    std::thread m_thread;
};

SignalWatcher::SignalWatcher() : m_listener(std::make_unique<Listener>([this](int signal) { Deliver(signal); })) {}

SignalWatcher::~SignalWatcher() = default;
