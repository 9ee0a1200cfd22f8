#include "plain_smtp_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int Connect(const std::string &host, int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, host.c_str(), &address.sin_addr);
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool SendAll(int fd, const std::string &text)
{
    for (std::size_t sent = 0; sent < text.size();) {
        const ssize_t result = send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (result <= 0)
            return false;
        sent += static_cast<std::size_t>(result);
    }
    return true;
}

// True when `input` holds a whole reply: a line whose code is followed by a blank.
bool ReplyComplete(const std::string &input, std::size_t &end)
{
    for (std::size_t start = 0; (end = input.find("\r\n", start)) != std::string::npos; start = end + 2)
        if (end - start >= 4 && input[start + 3] == ' ')
            return true;
    return false;
}

}  // namespace

bool PlainSmtpClient::Expect(int fd, const char *expected)
{
    std::size_t end = 0;
    while (!ReplyComplete(m_input, end)) {
        char buffer[4096];
        const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) {
            m_error = "connection closed";
            return false;
        }
        m_input.append(buffer, static_cast<std::size_t>(got));
    }
    const std::size_t lineStart = m_input.rfind("\r\n", end - 1) == std::string::npos ? 0 : m_input.rfind("\r\n", end - 1) + 2;
    const bool ok = m_input.compare(lineStart, 3, expected) == 0;
    if (!ok)
        m_error = m_input.substr(0, end);
    m_input.erase(0, end + 2);
    return ok;
}

bool PlainSmtpClient::Command(int fd, const std::string &text, const char *expected)
{
    if (!SendAll(fd, text)) {
        m_error = "send failed";
        return false;
    }
    return Expect(fd, expected);
}

bool PlainSmtpClient::Deliver(const std::string &from, const std::string &to, const std::string &content)
{
    m_input.clear();
    const int fd = Connect(m_host, m_port);
    if (fd < 0) {
        m_error = "connect failed";
        return false;
    }
    const bool ok = Expect(fd, "220") && Command(fd, "HELO bench\r\n", "250") &&
                    Command(fd, "MAIL FROM:<" + from + ">\r\n", "250") && Command(fd, "RCPT TO:<" + to + ">\r\n", "250") &&
                    Command(fd, "DATA\r\n", "354") && Command(fd, content + "\r\n.\r\n", "250") &&
                    Command(fd, "QUIT\r\n", "221");
    close(fd);
    return ok;
}
