// SilentNameServer: a UDP socket on 127.0.0.1 that takes DNS queries and
// never answers, for look-ups that must be ended by an abort or a bound.
// While it lives, MORV_DNS_SERVERS points the plug-in's look-ups at it.
#pragma once

#include "smtp/name_lookup.h"
#include "host/loopback/loopback_socket.h"
#include "support/scoped_variable.h"

#include <poll.h>

#include <cstdlib>
#include <string>

class SilentNameServer {
public:
    SilentNameServer()
        : m_socket(BindLoopback(SOCK_DGRAM)),
          m_servers(DNS_SERVERS_VARIABLE, ("127.0.0.1:" + std::to_string(m_socket.port)).c_str())
    {
    }
    SilentNameServer(const SilentNameServer &) = delete;
    SilentNameServer &operator=(const SilentNameServer &) = delete;

    // True once a query has arrived, within `timeoutMs`; the query is read.
    bool WaitForQuery(int timeoutMs = 10000) const
    {
        pollfd fd{m_socket.fd.Get(), POLLIN, 0};
        char query[512];
        return poll(&fd, 1, timeoutMs) == 1 && recv(m_socket.fd.Get(), query, sizeof query, 0) > 0;
    }

private:
    LoopbackSocket m_socket;
    ScopedVariable m_servers;  // MORV_DNS_SERVERS naming this server
};
