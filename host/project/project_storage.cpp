#include "host/project/project_storage.h"

#include "host/os/read_all.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// Links followed before a path counts as a loop.
constexpr int MAX_LINKS = 40;

[[noreturn]] void FailOn(const std::string &what, const fs::path &path, int error)
{
    throw ProjectError(what + " " + path.string() + ": " + std::strerror(error));
}

UniqueFd OpenOrFail(const fs::path &path, int flags, const std::string &what)
{
    UniqueFd fd(open(path.c_str(), flags | O_CLOEXEC, 0600));
    if (!fd.Valid())
        FailOn(what, path, errno);
    return fd;
}

void CheckReadable(const fs::path &path, const struct stat &info)
{
    if (!S_ISREG(info.st_mode))
        throw ProjectError("project file " + path.string() + " is not a regular file; it was not read");
    if (static_cast<std::uintmax_t>(info.st_size) > MAX_PROJECT_BYTES)
        throw ProjectError("project file " + path.string() + " is larger than 64 MiB, too large for a project; "
                           "it was not read");
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
    UniqueFd fd(mkostemp(name.data(), O_CLOEXEC));
    if (!fd.Valid())
        FailOn("cannot create a file beside", target, errno);
    try {
        WriteAll(fd.Get(), content, name);
        TakeMode(fd.Get(), target);
        if (fsync(fd.Get()) != 0 || close(fd.Release()) != 0)
            FailOn("cannot write", name, errno);
    } catch (...) {
        unlink(name.c_str());
        throw;
    }
    return name;
}

// Makes the rename durable.
void SyncFolder(const fs::path &folder)
{
    const UniqueFd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Valid())
        fsync(fd.Get());
}

fs::path FolderOf(const fs::path &path) { return path.has_parent_path() ? path.parent_path() : fs::path("."); }

}  // namespace

fs::path FollowLinks(const fs::path &path)
{
    fs::path current = path;
    std::error_code error;
    for (int links = 0; fs::is_symlink(current, error); ++links) {
        if (links == MAX_LINKS)
            throw ProjectError("project file " + path.string() + " is a loop of symbolic links");
        const fs::path target = fs::read_symlink(current, error);
        if (error)
            FailOn("cannot follow the link", current, error.value());
        current = target.is_absolute() ? target : FolderOf(current) / target;
    }
    return current;
}

std::optional<std::string> ReadProjectBytes(const fs::path &path)
{
    // Not blocking: opening a pipe would wait for a writer.
    const UniqueFd fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid() && errno == ENOENT)
        return std::nullopt;
    if (!fd.Valid())
        FailOn("cannot read project file", path, errno);
    struct stat info {};
    if (fstat(fd.Get(), &info) != 0)
        FailOn("cannot read project file", path, errno);
    CheckReadable(path, info);
    try {
        return ReadAll(fd.Get(), MAX_PROJECT_BYTES);
    } catch (const std::system_error &error) {
        FailOn("cannot read project file", path, error.code().value());
    }
}

void ReplaceFile(const fs::path &path, const std::string &content)
{
    const fs::path temporary = WriteTemporary(path, content);
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        unlink(temporary.c_str());
        FailOn("cannot replace", path, error);
    }
    SyncFolder(FolderOf(path));
}

ProjectLock::ProjectLock(const fs::path &project)
{
    const fs::path target = FollowLinks(project);
    // No lock file beside what is no project (a device's folder, say).
    struct stat info {};
    if (stat(target.c_str(), &info) == 0)
        CheckReadable(target, info);
    std::error_code error;
    fs::create_directories(FolderOf(target), error);
    const fs::path lockFile = FolderOf(target) / ("." + target.filename().string() + ".lock");
    m_fd = OpenOrFail(lockFile, O_RDWR | O_CREAT, "cannot open the lock file");
    while (flock(m_fd.Get(), LOCK_EX) != 0)
        if (errno != EINTR)
            FailOn("cannot lock", lockFile, errno);
}
