#include "host/os/memory_file.h"

#include "host/os/unique_fd.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace {

[[noreturn]] void Fail(const char *what) { throw std::system_error(errno, std::generic_category(), what); }

}  // namespace

// The path goes through /proc, which a container may lack: it is tried
// here, so that a file nobody could open is never handed out.
MemoryFile::MemoryFile(const char *name)
{
    UniqueFd fd(memfd_create(name, MFD_CLOEXEC));
    if (!fd.Valid())
        Fail("memfd_create");
    m_path = "/proc/self/fd/" + std::to_string(fd.Get());
    if (!UniqueFd(open(m_path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC)).Valid())
        Fail(m_path.c_str());
    m_handle = fd.Release();
}

MemoryFile::~MemoryFile() { close(static_cast<int>(m_handle)); }

std::string MemoryFile::ReadFrom(std::size_t offset) const
{
    std::string bytes;
    char buffer[4096];
    for (;;) {
        const off_t at = static_cast<off_t>(offset + bytes.size());
        const ssize_t got = pread(static_cast<int>(m_handle), buffer, sizeof buffer, at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            Fail("pread");
        if (got == 0)
            return bytes;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}
