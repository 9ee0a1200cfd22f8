// PlainSmtpClient: the floor for the end-to-end benchmark. It does nothing
// but the round trips a delivery needs (connect, greeting, HELO, MAIL,
// RCPT, DATA, the content in one write, QUIT), so the plug-in's cost per
// message can be put beside it. One thread; one connection per Deliver.
#pragma once

#include <string>

class PlainSmtpClient {
public:
    PlainSmtpClient(std::string host, int port) : m_host(std::move(host)), m_port(port) {}

    // `content` is the DATA stream without its end line. False on any
    // failure, with the reason in Error().
    bool Deliver(const std::string &from, const std::string &to, const std::string &content);
    const std::string &Error() const { return m_error; }

private:
    bool Command(int fd, const std::string &text, const char *expected);
    bool Expect(int fd, const char *expected);

    std::string m_host;
    int m_port;
    std::string m_input;
    std::string m_error;
};
