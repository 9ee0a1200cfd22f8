#include "sendmail_program.h"

#include "mail/mapi.h"

#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <sysexits.h>
#include <unistd.h>

#include <cerrno>

extern char **environ;

namespace {

// Owns one file descriptor.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int Get() const { return m_fd; }
    void Close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

// The file actions and attributes of one start: the input as standard
// input, and a process group of the program's own, so that one kill ends
// whatever it starts.
class SpawnSetup {
public:
    explicit SpawnSetup(int input)
    {
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
    }
    ~SpawnSetup()
    {
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
    }
    SpawnSetup(const SpawnSetup &) = delete;
    SpawnSetup &operator=(const SpawnSetup &) = delete;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
};

pid_t Spawn(const std::string &program, const std::vector<std::string> &arguments, int input)
{
    std::vector<char *> argv;
    std::vector<std::string> texts{program};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    for (std::string &text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    SpawnSetup setup(input);
    pid_t child = -1;
    if (posix_spawnp(&child, program.c_str(), &setup.actions, &setup.attributes, argv.data(), environ) != 0)
        child = -1;
    return child;
}

// Writes all of `input`; stops early when the program stops reading.
void WriteAll(int fd, std::string_view input)
{
    while (!input.empty()) {
        const ssize_t written = ::send(fd, input.data(), input.size(), MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        input.remove_prefix(static_cast<std::size_t>(written));
    }
}

int WaitForExit(pid_t child, CProgramWatch *watch)
{
    // Waits without reaping, so that the child's ID stays its own until the
    // watch has let go of it.
    siginfo_t exited{};
    while (::waitid(P_PID, static_cast<id_t>(child), &exited, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
    }
    if (watch)
        watch->Ending(child);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int RunWithInput(const std::string &program, const std::vector<std::string> &arguments, std::string_view input,
                 CProgramWatch *watch)
{
    // A socket pair rather than a pipe: writing after the program has gone
    // then fails with EPIPE instead of raising SIGPIPE in the host process.
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return -1;
    FileDescriptor ours(fds[0]);
    FileDescriptor theirs(fds[1]);
    const pid_t child = Spawn(program, arguments, theirs.Get());
    theirs.Close();
    if (child < 0)
        return -1;
    if (watch && !watch->Started(child))
        KillProgram(child);
    WriteAll(ours.Get(), input);
    ours.Close();
    return WaitForExit(child, watch);
}

void KillProgram(int group) { ::kill(-group, SIGKILL); }

std::uint32_t ResultOfExit(int status)
{
    switch (status) {
    case 0:
        return SUCCESS_SUCCESS;
    case EX_NOUSER:
    case EX_NOHOST:
        return MAPI_E_UNKNOWN_RECIPIENT;
    case EX_UNAVAILABLE:
    case EX_IOERR:
    case EX_TEMPFAIL:
        return MAPI_E_NETWORK_FAILURE;
    case EX_CANTCREAT:
        return MAPI_E_DISK_FULL;
    case EX_NOPERM:
        return MAPI_E_ACCESS_DENIED;
    default:
        return MAPI_E_FAILURE;
    }
}
