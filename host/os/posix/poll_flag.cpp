#include "host/os/poll_flag.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

PollFlag::PollFlag() : m_fd(eventfd(0, EFD_CLOEXEC))
{
    if (!m_fd.Valid())
        throw std::system_error(errno, std::generic_category(), "eventfd");
}

void PollFlag::Raise()
{
    // The counter only grows, so the descriptor stays readable.
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_fd.Get(), &one, sizeof one);
}
