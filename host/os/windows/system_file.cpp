#include "host/os/system_file.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <system_error>
#include <utility>

namespace {

namespace fs = std::filesystem;

[[noreturn]] void FailOn(const std::string &what, const fs::path &path, DWORD error = GetLastError())
{
    throw std::system_error(static_cast<int>(error), std::system_category(), what + " " + path.string());
}

HANDLE HandleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

std::intptr_t Held(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }

constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

BY_HANDLE_FILE_INFORMATION InformationOf(HANDLE handle, const fs::path &path)
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(handle, &information))
        FailOn("cannot read", path);
    return information;
}

void WriteAll(HANDLE file, const std::string &content, const fs::path &path)
{
    std::size_t written = 0;
    while (written < content.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - written, 1u << 30));
        DWORD done = 0;
        if (!WriteFile(file, content.data() + written, chunk, &done, nullptr))
            FailOn("cannot write", path);
        if (done == 0)
            FailOn("cannot write", path, ERROR_DISK_FULL);
        written += done;
    }
}

// A new file beside `target`, which nobody else has; returns its handle.
HANDLE CreateTemporary(const fs::path &target, fs::path &name)
{
    static std::atomic<unsigned> attempt{0};
    for (int tries = 0; tries < 100; ++tries) {
        name = target.parent_path() / ("." + target.filename().string() + "." + std::to_string(GetCurrentProcessId()) +
                                       "." + std::to_string(++attempt));
        const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

// Writes the temporary file beside `target`; returns its name.
fs::path WriteTemporary(const fs::path &target, const std::string &content)
{
    fs::path name;
    const HANDLE file = CreateTemporary(target, name);
    if (file == INVALID_HANDLE_VALUE)
        FailOn("cannot create a file beside", target);
    try {
        WriteAll(file, content, name);
        if (!FlushFileBuffers(file))
            FailOn("cannot write", name);
    } catch (...) {
        CloseHandle(file);
        DeleteFileW(name.c_str());
        throw;
    }
    CloseHandle(file);
    return name;
}

}  // namespace

SystemFile::SystemFile(std::intptr_t handle, bool owned, fs::path path)
    : m_handle(handle), m_owned(owned), m_path(std::move(path))
{
}

SystemFile::SystemFile(SystemFile &&other) noexcept
    : m_handle(std::exchange(other.m_handle, Held(INVALID_HANDLE_VALUE))), m_owned(other.m_owned),
      m_path(std::move(other.m_path))
{
}

SystemFile::~SystemFile()
{
    if (m_owned && HandleOf(m_handle) != INVALID_HANDLE_VALUE)
        CloseHandle(HandleOf(m_handle));
}

std::optional<SystemFile> SystemFile::OpenToRead(const fs::path &path)
{
    // Backup semantics open folders too, so that they can be told apart.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, SHARE_ALL, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE && (GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND))
        return std::nullopt;
    if (file == INVALID_HANDLE_VALUE)
        FailOn("cannot read", path);
    return SystemFile(Held(file), true, path);
}

SystemFile SystemFile::StandardInput()
{
    return SystemFile(Held(GetStdHandle(STD_INPUT_HANDLE)), false, "standard input");
}

SystemFile SystemFile::OpenToLock(const fs::path &path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, SHARE_ALL, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        FailOn("cannot open the lock file", path);
    return SystemFile(Held(file), true, path);
}

SystemFile::Kind SystemFile::FileKind() const
{
    if (GetFileType(HandleOf(m_handle)) != FILE_TYPE_DISK)
        return Kind::Other;
    const DWORD attributes = InformationOf(HandleOf(m_handle), m_path).dwFileAttributes;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Kind::Folder : Kind::Regular;
}

std::uintmax_t SystemFile::Size() const
{
    const BY_HANDLE_FILE_INFORMATION information = InformationOf(HandleOf(m_handle), m_path);
    return (static_cast<std::uintmax_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
}

std::string SystemFile::ReadAll(std::size_t limit)
{
    std::string content;
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(HandleOf(m_handle), buffer, sizeof buffer, &got, nullptr)) {
            // The writing end of a pipe was closed: its end.
            if (GetLastError() == ERROR_BROKEN_PIPE)
                return content;
            FailOn("cannot read", m_path);
        }
        if (got == 0 || got > limit - content.size())
            return content;
        content.append(buffer, got);
    }
}

void SystemFile::LockExclusively()
{
    OVERLAPPED whole{};
    if (!LockFileEx(HandleOf(m_handle), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole))
        FailOn("cannot lock", m_path);
}

void ReplaceFileWhole(const fs::path &path, const std::string &content)
{
    const fs::path temporary = WriteTemporary(path, content);
    if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        FailOn("cannot replace", path, error);
    }
}
