#include "support/aiosmtpd_server.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void RunScript(int input, int output, std::vector<std::string> words)
{
    dup2(input, STDIN_FILENO);
    dup2(output, STDOUT_FILENO);
    std::vector<char *> arguments;
    for (std::string &word : words)
        arguments.push_back(word.data());
    arguments.push_back(nullptr);
    execv(AiosmtpdServer::PYTHON, arguments.data());
    _exit(127);
}

}  // namespace

AiosmtpdServer::AiosmtpdServer(const std::filesystem::path &folder, const std::vector<std::string> &options)
{
    int toChild[2], fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)
        return;
    m_pid = fork();
    if (m_pid == 0)
        RunScript(toChild[0], fromChild[1], Words(folder.string(), options));
    close(toChild[0]);
    close(fromChild[1]);
    m_input = toChild[1];
    FILE *output = fdopen(fromChild[0], "r");
    if (output && std::fscanf(output, "%d", &m_port) != 1)
        m_port = 0;
    if (output)
        std::fclose(output);
}

AiosmtpdServer::~AiosmtpdServer()
{
    if (m_input >= 0)
        close(m_input);
    if (m_pid > 0)
        waitpid(m_pid, nullptr, 0);
}
