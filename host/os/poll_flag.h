// PollFlag: a flag that is raised once and stays raised, and that poll()
// can wait on together with sockets (an eventfd). Any thread may raise it
// or poll its descriptor; raising it again has no further effect.
#pragma once

#include "host/os/unique_fd.h"

class PollFlag {
public:
    // Throws std::system_error when the system has no eventfd to spare.
    PollFlag();

    void Raise();
    // Readable once raised.
    int PollFd() const { return m_fd.Get(); }

private:
    UniqueFd m_fd;
};
