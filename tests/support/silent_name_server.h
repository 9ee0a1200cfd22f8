// SilentNameServer: a UDP socket on 127.0.0.1 that takes DNS queries and
// never answers, for look-ups that must be ended by an abort or a bound.
// While it lives, MORV_DNS_SERVERS points the plug-in's look-ups at it.
#pragma once

#include "smtp/name_lookup.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

class SilentNameServer {
public:
    SilentNameServer() : m_fd(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
        getsockname(m_fd, reinterpret_cast<sockaddr *>(&address), &length);
        const std::string servers = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
        setenv(DNS_SERVERS_VARIABLE, servers.c_str(), 1);
    }
    ~SilentNameServer()
    {
        unsetenv(DNS_SERVERS_VARIABLE);
        close(m_fd);
    }
    SilentNameServer(const SilentNameServer &) = delete;
    SilentNameServer &operator=(const SilentNameServer &) = delete;

    // True once a query has arrived, within `timeoutMs`; the query is read.
    bool WaitForQuery(int timeoutMs = 10000) const
    {
        pollfd fd{m_fd, POLLIN, 0};
        char query[512];
        return poll(&fd, 1, timeoutMs) == 1 && recv(m_fd, query, sizeof query, 0) > 0;
    }

private:
    int m_fd;
};
