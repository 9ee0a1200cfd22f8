#include "bench/e2e/child_process.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

// fork and exec; in the child, standard output goes to `outputFd` when it
// is not -1. -1 when no child could be made.
pid_t Spawn(const std::vector<std::string> &argv, int outputFd, int closeFd)
{
    std::vector<char *> arguments;
    for (const std::string &argument : argv)
        arguments.push_back(const_cast<char *>(argument.c_str()));
    arguments.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        if (outputFd != -1) {
            dup2(outputFd, STDOUT_FILENO);
            close(closeFd);
        }
        execv(arguments[0], arguments.data());
        _exit(127);
    }
    return pid;
}

std::string ReadAll(int fd)
{
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    return text;
}

}  // namespace

ChildRun RunChild(const std::vector<std::string> &argv, bool captureOutput)
{
    ChildRun run;
    int pipeFds[2] = {-1, -1};
    if (captureOutput && pipe(pipeFds) != 0)
        return run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = Spawn(argv, pipeFds[1], pipeFds[0]);
    if (captureOutput) {
        close(pipeFds[1]);
        if (pid > 0)
            run.output = ReadAll(pipeFds[0]);
        close(pipeFds[0]);
    }
    int status = 0;
    rusage usage{};
    if (pid <= 0 || wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.switches = usage.ru_nvcsw + usage.ru_nivcsw;
    return run;
}

RunningChild::RunningChild(const std::vector<std::string> &argv) : m_pid(Spawn(argv, -1, -1)) {}

RunningChild::~RunningChild()
{
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGTERM);
    int status = 0;
    waitpid(m_pid, &status, 0);
}

std::string FindProgram(const std::string &name)
{
    std::stringstream folders(std::string(std::getenv("PATH") ? std::getenv("PATH") : "") + ":/usr/sbin:/sbin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::filesystem::path candidate = std::filesystem::path(folder) / name;
        if (!folder.empty() && access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
    }
    return std::string();
}
