#include "host/os/unique_fd.h"

#include <winsock2.h>

// What the host holds in a UniqueFd on Windows is a socket.
void UniqueFd::Reset()
{
    if (m_fd >= 0)
        closesocket(static_cast<SOCKET>(std::exchange(m_fd, -1)));
}
