// AiosmtpdServer: aiosmtpd_sink.py (an SMTP server no one here wrote) in a
// child process on 127.0.0.1, storing what it accepts in a folder. It stops
// when the object goes. Debian's aiosmtpd serves Debian's interpreter, so
// it runs as /usr/bin/python3.
#pragma once

#include <fcntl.h>
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

class AiosmtpdServer {
public:
    // `options`: the script's options (--starttls, --login USER:PASSWORD ...).
    explicit AiosmtpdServer(const std::filesystem::path &folder, const std::vector<std::string> &options = {});
    ~AiosmtpdServer();
    AiosmtpdServer(const AiosmtpdServer &) = delete;
    AiosmtpdServer &operator=(const AiosmtpdServer &) = delete;

    // 0 when the server did not start.
    int Port() const { return m_port; }
    // "127.0.0.1:PORT", for ServerSMTP.
    std::string Address() const { return "127.0.0.1:" + std::to_string(m_port); }

    // Whether /usr/bin/python3 can import aiosmtpd; asked once.
    static bool Available();

    static constexpr const char *PYTHON = "/usr/bin/python3";

private:
    pid_t m_pid = -1;
    int m_input = -1;
    int m_port = 0;
};
