#include "host/os/unique_fd.h"

#include <unistd.h>

void UniqueFd::Reset()
{
    if (m_fd >= 0)
        close(std::exchange(m_fd, -1));
}
