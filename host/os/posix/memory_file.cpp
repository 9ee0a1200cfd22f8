#include "host/os/memory_file.h"

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
MemoryFile::MemoryFile(const char *name) : m_fd(memfd_create(name, MFD_CLOEXEC))
{
    if (!m_fd.Valid())
        Fail("memfd_create");
    m_path = "/proc/self/fd/" + std::to_string(m_fd.Get());
    if (!UniqueFd(open(m_path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC)).Valid())
        Fail(m_path.c_str());
}

std::string MemoryFile::ReadFrom(std::size_t offset) const
{
    std::string bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t got = pread(m_fd.Get(), buffer, sizeof buffer, static_cast<off_t>(offset + bytes.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            Fail("pread");
        if (got == 0)
            return bytes;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}
