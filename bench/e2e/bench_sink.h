// BenchSink: the SMTP server every client of the end-to-end benchmark
// delivers to: Postfix's smtp-sink on 127.0.0.1 when it is installed (it
// throws mail away, as fast as a server can), else the host's loopback
// server in this process. Ends with its owner. Main thread only.
#pragma once

#include "bench/e2e/child_process.h"
#include "host/loopback/loopback_smtp_server.h"

#include <memory>
#include <string>

class BenchSink {
public:
    BenchSink();

    const std::string &Host() const { return m_host; }
    unsigned short Port() const { return m_port; }
    // "127.0.0.1:PORT", the form "ServerSMTP" takes.
    std::string Address() const { return m_host + ":" + std::to_string(m_port); }
    // What it is, for the report.
    const std::string &Name() const { return m_name; }
    bool IsPostfix() const { return m_postfix != nullptr; }

private:
    bool StartPostfix();

    std::string m_host = "127.0.0.1";
    unsigned short m_port = 0;
    std::string m_name;
    std::unique_ptr<RunningChild> m_postfix;
    std::unique_ptr<LoopbackSmtpServer> m_loopback;
};
