// SystemFile: sole owner of an open file of the system (a descriptor here,
// a HANDLE on Windows), closed when the owner goes; and replacing a file
// whole. What the host does with files whose form differs from one system
// to the next. Failures throw std::system_error, whose text names what was
// done to which file and the system's reason. Move-only; one thread at a time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

class SystemFile {
public:
    enum class Kind { Regular, Folder, Other };

    // Opens `path` to read, never waiting for a writer (a pipe) to open
    // it; nothing when there is no such file.
    static std::optional<SystemFile> OpenToRead(const std::filesystem::path &path);
    // The process's standard input; left open when the object goes.
    static SystemFile StandardInput();
    // Opens `path` to lock it, creating it when it is missing.
    static SystemFile OpenToLock(const std::filesystem::path &path);

    ~SystemFile();
    SystemFile(SystemFile &&other) noexcept;
    SystemFile &operator=(SystemFile &&other) = delete;
    SystemFile(const SystemFile &) = delete;

    Kind FileKind() const;
    std::uintmax_t Size() const;
    // Reads until the end, or until the next read would take the text past
    // `limit` bytes.
    std::string ReadAll(std::size_t limit = SIZE_MAX);
    // Waits until this process holds the file's exclusive lock (advisory
    // here, mandatory on Windows); it holds it until the file is closed.
    void LockExclusively();

private:
    SystemFile(std::intptr_t handle, bool owned, std::filesystem::path path);

    std::intptr_t m_handle;
    bool m_owned;
    std::filesystem::path m_path;  // for the texts of failures
};

// Writes `content` to a new file beside `path` and moves it over `path`
// durably: a failure at any step (a full disk, a file size limit) leaves the
// old file as it was. Here the new file keeps the mode of the one it
// replaces, and a file that did not exist is made readable by its owner only.
void ReplaceFileWhole(const std::filesystem::path &path, const std::string &content);
