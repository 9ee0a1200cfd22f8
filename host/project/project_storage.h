// The project file on disk: where it really is, reading it with bounds,
// replacing it whole, and the lock that keeps two updates apart. Each
// failure throws ProjectError with a message for people; the project is
// never left half written. Host's thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

class ProjectError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A project larger than this is no project of ours.
constexpr std::uintmax_t MAX_PROJECT_BYTES = 64u << 20;

// The file a path names once its symbolic links are followed, also when
// the last link points at a file that does not exist yet.
std::filesystem::path FollowLinks(const std::filesystem::path &path);

// The whole file, or nothing when it does not exist. Refuses, before it
// reads a byte, what is not a regular file (a device, a pipe, a folder)
// and a file larger than MAX_PROJECT_BYTES.
std::optional<std::string> ReadProjectBytes(const std::filesystem::path &path);

// Writes `content` to a new file beside `path` and renames it over `path`:
// a failure at any step (a full disk, a file size limit) leaves the old file
// as it was. The new file keeps the mode of the one it replaces; a file
// that did not exist is made readable by its owner only.
void ReplaceProjectFile(const std::filesystem::path &path, const std::string &content);

class SystemFile;

// ProjectLock: the lock of a lock file held from reading a project to
// writing it back, so that two updates of one project take turns. It
// locks a lock file beside the project ("." NAME ".lock"), which stays:
// the project itself is replaced by each save and cannot carry the lock.
class ProjectLock {
public:
    // Waits for the lock; creates the project's folder when it is missing.
    // Refuses as ReadProjectBytes does a path that is no project file.
    explicit ProjectLock(const std::filesystem::path &project);
    ~ProjectLock();

private:
    std::unique_ptr<SystemFile> m_file;
};
