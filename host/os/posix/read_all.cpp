#include "host/os/read_all.h"

#include <unistd.h>

#include <cerrno>
#include <system_error>

std::string ReadAll(int fd, std::size_t limit)
{
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw std::system_error(errno, std::generic_category(), "read");
        if (got == 0 || static_cast<std::size_t>(got) > limit - content.size())
            return content;
        content.append(buffer, static_cast<std::size_t>(got));
    }
}
