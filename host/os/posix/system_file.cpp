#include "host/os/system_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

namespace {

namespace fs = std::filesystem;

[[noreturn]] void FailOn(const std::string &what, const fs::path &path, int error)
{
    throw std::system_error(error, std::generic_category(), what + " " + path.string());
}

int Descriptor(std::intptr_t handle) { return static_cast<int>(handle); }

struct stat StatusOf(int fd, const fs::path &path)
{
    struct stat info {};
    if (fstat(fd, &info) != 0)
        FailOn("cannot read", path, errno);
    return info;
}

void WriteAll(int fd, const std::string &content, const fs::path &path)
{
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t result = write(fd, content.data() + written, content.size() - written);
        if (result < 0 && errno == EINTR)
            continue;
        if (result <= 0)
            FailOn("cannot write", path, result < 0 ? errno : ENOSPC);
        written += static_cast<std::size_t>(result);
    }
}

// The temporary file's mode: the replaced file's, or the owner's only.
void TakeMode(int fd, const fs::path &replaced)
{
    struct stat old {};
    fchmod(fd, stat(replaced.c_str(), &old) == 0 ? old.st_mode & 07777 : S_IRUSR | S_IWUSR);
}

// Writes the temporary file beside `target`; returns its name.
fs::path WriteTemporary(const fs::path &target, const std::string &content)
{
    std::string name = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        FailOn("cannot create a file beside", target, errno);
    try {
        WriteAll(fd, content, name);
        TakeMode(fd, target);
        if (fsync(fd) != 0)
            FailOn("cannot write", name, errno);
    } catch (...) {
        close(fd);
        unlink(name.c_str());
        throw;
    }
    if (close(fd) != 0) {
        const int error = errno;
        unlink(name.c_str());
        FailOn("cannot write", name, error);
    }
    return name;
}

// Makes the rename durable.
void SyncFolder(const fs::path &folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

SystemFile::SystemFile(std::intptr_t handle, bool owned, fs::path path)
    : m_handle(handle), m_owned(owned), m_path(std::move(path))
{
}

SystemFile::SystemFile(SystemFile &&other) noexcept
    : m_handle(std::exchange(other.m_handle, -1)), m_owned(other.m_owned), m_path(std::move(other.m_path))
{
}

SystemFile::~SystemFile()
{
    if (m_owned && m_handle >= 0)
        close(Descriptor(m_handle));
}

std::optional<SystemFile> SystemFile::OpenToRead(const fs::path &path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT)
        return std::nullopt;
    if (fd < 0)
        FailOn("cannot read", path, errno);
    // Opened without waiting; read as any file is.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return SystemFile(fd, true, path);
}

SystemFile SystemFile::StandardInput() { return SystemFile(STDIN_FILENO, false, "standard input"); }

SystemFile SystemFile::OpenToLock(const fs::path &path)
{
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        FailOn("cannot open the lock file", path, errno);
    return SystemFile(fd, true, path);
}

SystemFile::Kind SystemFile::FileKind() const
{
    const struct stat info = StatusOf(Descriptor(m_handle), m_path);
    return S_ISREG(info.st_mode) ? Kind::Regular : S_ISDIR(info.st_mode) ? Kind::Folder : Kind::Other;
}

std::uintmax_t SystemFile::Size() const
{
    return static_cast<std::uintmax_t>(StatusOf(Descriptor(m_handle), m_path).st_size);
}

std::string SystemFile::ReadAll(std::size_t limit)
{
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(Descriptor(m_handle), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            FailOn("cannot read", m_path, errno);
        if (got == 0 || static_cast<std::size_t>(got) > limit - content.size())
            return content;
        content.append(buffer, static_cast<std::size_t>(got));
    }
}

void SystemFile::LockExclusively()
{
    while (flock(Descriptor(m_handle), LOCK_EX) != 0)
        if (errno != EINTR)
            FailOn("cannot lock", m_path, errno);
}

void ReplaceFileWhole(const fs::path &path, const std::string &content)
{
    const fs::path temporary = WriteTemporary(path, content);
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        unlink(temporary.c_str());
        FailOn("cannot replace", path, error);
    }
    SyncFolder(path.has_parent_path() ? path.parent_path() : fs::path("."));
}
