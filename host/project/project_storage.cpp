#include "host/project/project_storage.h"

#include "host/os/system_file.h"

#include <system_error>

namespace {

namespace fs = std::filesystem;

// Links followed before a path counts as a loop.
constexpr int MAX_LINKS = 40;

[[noreturn]] void FailOn(const std::string &what, const fs::path &path, const std::error_code &error)
{
    throw ProjectError(what + " " + path.string() + ": " + error.message());
}

void CheckReadable(const fs::path &path, const SystemFile &file)
{
    if (file.FileKind() != SystemFile::Kind::Regular)
        throw ProjectError("project file " + path.string() + " is not a regular file; it was not read");
    if (file.Size() > MAX_PROJECT_BYTES)
        throw ProjectError("project file " + path.string() + " is larger than 64 MiB, too large for a project; "
                           "it was not read");
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
            FailOn("cannot follow the link", current, error);
        current = target.is_absolute() ? target : FolderOf(current) / target;
    }
    return current;
}

std::optional<std::string> ReadProjectBytes(const fs::path &path)
{
    try {
        std::optional<SystemFile> file = SystemFile::OpenToRead(path);
        if (!file)
            return std::nullopt;
        CheckReadable(path, *file);
        return file->ReadAll(MAX_PROJECT_BYTES);
    } catch (const std::system_error &error) {
        FailOn("cannot read project file", path, error.code());
    }
}

void ReplaceProjectFile(const fs::path &path, const std::string &content)
{
    try {
        ReplaceFileWhole(path, content);
    } catch (const std::system_error &error) {
        throw ProjectError(error.what());
    }
}

ProjectLock::ProjectLock(const fs::path &project)
{
    const fs::path target = FollowLinks(project);
    try {
        // No lock file beside what is no project (a device's folder, say).
        if (const std::optional<SystemFile> existing = SystemFile::OpenToRead(target))
            CheckReadable(target, *existing);
        std::error_code error;
        fs::create_directories(FolderOf(target), error);
        m_file = std::make_unique<SystemFile>(
            SystemFile::OpenToLock(FolderOf(target) / ("." + target.filename().string() + ".lock")));
        m_file->LockExclusively();
    } catch (const std::system_error &error) {
        throw ProjectError(error.what());
    }
}

ProjectLock::~ProjectLock() = default;
