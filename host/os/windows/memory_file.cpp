#include "host/os/memory_file.h"

#include <windows.h>

#include <system_error>

namespace {

[[noreturn]] void Fail(const std::string &what, DWORD error = GetLastError())
{
    throw std::system_error(static_cast<int>(error), std::system_category(), what);
}

HANDLE HandleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// A new empty file in the user's temporary folder, named by the system.
std::string CreateTemporaryFile(const char *name)
{
    char folder[MAX_PATH + 1] = {};
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH)
        Fail("GetTempPathA");
    if (GetTempFileNameA(folder, std::string(name).substr(0, 3).c_str(), 0, path) == 0)
        Fail(std::string("GetTempFileNameA in ") + folder);
    return path;
}

}  // namespace

// The plug-in opens the path with the C library, which does not share
// deletion, so the file cannot be one the system deletes on close: the
// destructor removes it.
MemoryFile::MemoryFile(const char *name) : m_path(CreateTemporaryFile(name))
{
    const HANDLE file = CreateFileA(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        DeleteFileA(m_path.c_str());
        Fail("cannot open " + m_path, error);
    }
    m_handle = reinterpret_cast<std::intptr_t>(file);
}

MemoryFile::~MemoryFile()
{
    CloseHandle(HandleOf(m_handle));
    DeleteFileA(m_path.c_str());
}

std::string MemoryFile::ReadFrom(std::size_t offset) const
{
    std::string bytes;
    char buffer[4096];
    for (;;) {
        const ULONGLONG at = offset + bytes.size();
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(at);
        position.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD got = 0;
        if (!ReadFile(HandleOf(m_handle), buffer, sizeof buffer, &got, &position)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                return bytes;
            Fail("cannot read " + m_path);
        }
        if (got == 0)
            return bytes;
        bytes.append(buffer, got);
    }
}
