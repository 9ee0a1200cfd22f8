// AiosmtpdServer: aiosmtpd_sink.py (an SMTP server no one here wrote) in a
// child process on 127.0.0.1, storing what it accepts in a folder. It stops
// when the object goes. Debian's aiosmtpd serves Debian's interpreter, so
// it runs as /usr/bin/python3 (on Windows, the Linux side's through Wine:
// the options name files by their Linux paths, ShellPath).
#pragma once

#include "support/shell_command.h"

#if !defined(_WIN32)
#include <sys/types.h>
#endif

#include <filesystem>
#include <memory>
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

    static constexpr const char *PYTHON = "/usr/bin/python3";

    // Whether /usr/bin/python3 can import aiosmtpd; asked once.
    static bool Available()
    {
        static const bool available = CommandSucceeds(std::string(PYTHON) + " -c 'import aiosmtpd'");
        return available;
    }

private:
    // The interpreter, the script and its arguments.
    static std::vector<std::string> Words(const std::string &folder, const std::vector<std::string> &options)
    {
        std::vector<std::string> words{PYTHON, std::string(MORV_SOURCE_DIR) + "/tests/support/aiosmtpd_sink.py", folder};
        words.insert(words.end(), options.begin(), options.end());
        return words;
    }

#if defined(_WIN32)
    std::unique_ptr<UnixChild> m_child;
#else
    pid_t m_pid = -1;
    int m_input = -1;
#endif
    int m_port = 0;
};
