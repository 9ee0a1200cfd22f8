// A socket-call table for tests whose sends follow a plan (short writes,
// interrupted calls, full buffers, failures) and whose waits answer what a
// test sets. Installed for the lifetime of a FakeSocketCalls object; the
// real calls pass through where a test asks for them. Single test thread.
#pragma once

#include "smtp/socket_calls.h"

#include <deque>
#include <string>
#include <vector>

struct FakeSocketState {
    // Per send call: > 0 takes at most that many bytes, < 0 fails with errno
    // -value; with the plan empty every byte is taken.
    std::deque<long> sendPlan;
    // The same for the receive calls that find data, and only with real
    // sockets underneath.
    std::deque<long> receivePlan;
    std::string written;
    std::vector<std::string> writes;  // what each send call took
    int sendCalls = 0;
    int connectCalls = 0;
    int resolveCalls = 0;
    int waitCalls = 0;
    SocketWait waitResult = SocketWait::Readable;
    int connectError = 0;
    // What a look-up answers, whatever the name; empty: it does not resolve.
    SocketAddresses resolved;
    bool passThrough = false;  // real sockets underneath, the plans still cut calls
    // Per wait call, what it answers instead of waitResult, in turn; and
    // the time-out each wait call was given.
    std::deque<SocketWait> waitPlan;
    std::vector<DWORD> waitTimeouts;
    // The machine's name as the client sees it; empty: the real one.
    std::string hostName;
    // Set by a planned ECONNRESET: from then on every send and receive fails
    // so, and waits end at once, as on a connection the peer has reset.
    bool reset = false;
};

class FakeSocketCalls {
public:
    explicit FakeSocketCalls(bool passThrough = false);
    ~FakeSocketCalls();
    FakeSocketCalls(const FakeSocketCalls &) = delete;
    FakeSocketCalls &operator=(const FakeSocketCalls &) = delete;

    FakeSocketState &State();
};
