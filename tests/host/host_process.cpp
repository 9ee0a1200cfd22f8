#include "host_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

namespace {

struct Pipe {
    int read = -1;
    int write = -1;
};

Pipe MakePipe()
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe");
    return {fds[0], fds[1]};
}

// The test's environment with the setup's changes, as "NAME=VALUE" texts.
std::vector<std::string> ChildEnvironment(const std::vector<std::string> &changes)
{
    std::vector<std::string> variables;
    for (char **variable = environ; *variable; ++variable)
        variables.emplace_back(*variable);
    for (const std::string &change : changes) {
        const std::string name = change.substr(0, change.find('='));
        std::erase_if(variables, [&](const std::string &variable) { return variable.starts_with(name + "="); });
        if (change.find('=') != std::string::npos)
            variables.push_back(change);
    }
    return variables;
}

std::vector<char *> Pointers(std::vector<std::string> &texts)
{
    std::vector<char *> pointers;
    for (std::string &text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Runs in the forked child: only async-signal-safe calls.
[[noreturn]] void ExecHost(char *const *argv, char *const *envp, rlim_t fileSizeLimit, Pipe in, Pipe out, Pipe err)
{
    dup2(in.read, STDIN_FILENO);
    dup2(out.write, STDOUT_FILENO);
    dup2(err.write, STDERR_FILENO);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    const rlimit limit{fileSizeLimit, fileSizeLimit};
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, SIG_IGN);
    execve(MORV_HOST_PROGRAM, argv, envp);
    _exit(127);
}

void WriteAll(int fd, const std::string &data)
{
    std::size_t written = 0;
    while (written < data.size()) {
        const ssize_t result = write(fd, data.data() + written, data.size() - written);
        if (result <= 0)
            return;
        written += static_cast<std::size_t>(result);
    }
}

}  // namespace

HostProcess::HostProcess(const std::vector<std::string> &arguments, const std::string &input, const HostSetup &setup)
{
    std::vector<std::string> argvTexts{MORV_HOST_PROGRAM};
    argvTexts.insert(argvTexts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envTexts = ChildEnvironment(setup.environment);
    const std::vector<char *> argv = Pointers(argvTexts), envp = Pointers(envTexts);
    const Pipe in = MakePipe(), out = MakePipe(), err = MakePipe();
    m_pid = fork();
    if (m_pid == 0)
        ExecHost(argv.data(), envp.data(), setup.fileSizeLimit, in, out, err);
    close(in.read);
    close(out.write);
    close(err.write);
    m_out = out.read;
    m_err = err.read;
    signal(SIGPIPE, SIG_IGN);
    WriteAll(in.write, input);
    close(in.write);
}

HostProcess::~HostProcess()
{
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0)
        close(m_out);
    if (m_err >= 0)
        close(m_err);
}

bool HostProcess::ReadSome(std::chrono::milliseconds timeout)
{
    pollfd fds[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
    if (m_out < 0 && m_err < 0)
        return false;
    if (poll(fds, 2, static_cast<int>(timeout.count())) <= 0)
        return true;
    int *streams[2] = {&m_out, &m_err};
    std::string *texts[2] = {&m_run.out, &m_run.err};
    for (int i = 0; i < 2; ++i) {
        if (!fds[i].revents)
            continue;
        char buffer[4096];
        const ssize_t got = read(*streams[i], buffer, sizeof buffer);
        if (got > 0) {
            texts[i]->append(buffer, static_cast<std::size_t>(got));
        } else {
            close(*streams[i]);
            *streams[i] = -1;
        }
    }
    return true;
}

bool HostProcess::WaitForOutput(const std::string &needle, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (m_run.out.find(needle) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !ReadSome(left))
            return false;
    }
    return true;
}

void HostProcess::Signal(int signal) { kill(m_pid, signal); }

HostRun HostProcess::Finish(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            kill(m_pid, SIGKILL);
            break;
        }
        if (!ReadSome(left))
            break;
    }
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    m_run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return m_run;
}

HostRun RunHostProgram(const std::vector<std::string> &arguments, const std::string &input,
                       std::chrono::milliseconds timeout, const HostSetup &setup)
{
    HostProcess process(arguments, input, setup);
    return process.Finish(timeout);
}
