// MemoryFile: a file that lives in memory as long as its owner. Other code
// of this process (the plug-in) opens it by Path() and appends to it; the
// owner reads back what was written from any offset. Not shared beyond
// this process. The owner's thread reads; any thread may write. Here it
// is a descriptor of memory; on Windows a temporary file, removed when the
// owner goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class MemoryFile {
public:
    // Throws std::system_error when the system cannot make one, or when
    // it cannot be opened by its path.
    explicit MemoryFile(const char *name);
    ~MemoryFile();
    MemoryFile(const MemoryFile &) = delete;
    MemoryFile &operator=(const MemoryFile &) = delete;

    // Opens this file, in this process only.
    const std::string &Path() const { return m_path; }
    // The bytes from `offset` to the end as it is now.
    std::string ReadFrom(std::size_t offset) const;

private:
    std::intptr_t m_handle;  // the system's: a descriptor or a HANDLE
    std::string m_path;
};
