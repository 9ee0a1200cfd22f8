// IoAttempt: what one attempt of a transport (the plain socket or TLS on
// it) to move bytes without blocking came to, so that one loop waits,
// retries and bounds both in the same way.
#pragma once

#include <cstddef>

struct IoAttempt {
    enum class Kind {
        Moved,      // `count` bytes moved (a write of nothing moves 0)
        WaitRead,   // try again once the socket is readable
        WaitWrite,  // try again once the socket is writable
        Retry,      // interrupted: try again at once
        Closed,     // the peer closed the connection
        Failed,     // the last error says why
    };
    Kind kind = Kind::Failed;
    std::size_t count = 0;

    static IoAttempt Moved(std::size_t count) { return {Kind::Moved, count}; }
    static IoAttempt Is(Kind kind) { return {kind, 0}; }
    bool Waits() const { return kind == Kind::WaitRead || kind == Kind::WaitWrite; }
};
