// MemoryFile: a file that lives in memory as long as its owner. Other code
// of this process (the plug-in) opens it by Path() and appends to it; the
// owner reads back what was written from any offset. Not shared beyond
// this process. The owner's thread reads; any thread may write.
#pragma once

#include "host/os/unique_fd.h"

#include <cstddef>
#include <string>

class MemoryFile {
public:
    // Throws std::system_error when the system cannot make one, or when
    // it cannot be opened by its path.
    explicit MemoryFile(const char *name);

    // Opens this file, in this process only.
    const std::string &Path() const { return m_path; }
    // The bytes from `offset` to the end as it is now.
    std::string ReadFrom(std::size_t offset) const;

private:
    UniqueFd m_fd;
    std::string m_path;
};
