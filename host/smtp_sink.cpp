#include "host/smtp_sink.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <system_error>

namespace {

constexpr std::size_t MAX_LINE = 64 * 1024;
constexpr std::size_t MAX_DATA = 256 * 1024 * 1024;

[[noreturn]] void ThrowSystemError(const char *what) { throw std::system_error(errno, std::generic_category(), what); }

// The text between the first "<" and the following ">", or after the colon.
std::string EnvelopeAddress(const std::string &argument)
{
    const std::size_t open = argument.find('<');
    const std::size_t close = argument.find('>', open == std::string::npos ? 0 : open);
    if (open != std::string::npos && close != std::string::npos)
        return argument.substr(open + 1, close - open - 1);
    const std::size_t colon = argument.find(':');
    return colon == std::string::npos ? std::string() : argument.substr(colon + 1);
}

bool StartsWithCommand(const std::string &line, const char *command)
{
    std::size_t i = 0;
    for (; command[i]; ++i)
        if (i >= line.size() || std::toupper(static_cast<unsigned char>(line[i])) != command[i])
            return false;
    return i == line.size() || line[i] == ' ' || line[i] == ':';
}

}  // namespace

std::string SinkMessage::Content() const
{
    std::string content;
    content.reserve(data.size());
    std::size_t lineStart = 0;
    while (lineStart < data.size()) {
        std::size_t lineEnd = data.find("\r\n", lineStart);
        lineEnd = lineEnd == std::string::npos ? data.size() : lineEnd + 2;
        const bool stuffed = data.compare(lineStart, 2, "..") == 0;
        content.append(data, lineStart + (stuffed ? 1 : 0), lineEnd - lineStart - (stuffed ? 1 : 0));
        lineStart = lineEnd;
    }
    return content;
}

std::string SinkMessage::Header() const
{
    const std::string content = Content();
    const std::size_t end = content.find("\r\n\r\n");
    return end == std::string::npos ? content : content.substr(0, end + 2);
}

std::string SinkMessage::Body() const
{
    const std::string content = Content();
    const std::size_t end = content.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : content.substr(end + 4);
}

// One client connection: reads CRLF lines, writes replies, keeps the
// envelope and the data of the current transaction.
class SmtpSink::Session {
public:
    Session(int client, int stop, const Options &options) : m_client(client), m_stop(stop), m_options(options) {}

    // Plays the dialogue; each finished transaction goes to `record`.
    template <typename Record>
    void Run(Record &&record)
    {
        if (!Greet())
            return;
        std::string line;
        while (ReadLine(line)) {
            if (!Answer(line, record))
                return;
        }
    }

private:
    enum class Wait { Ready, Stopped, Idle };

    Wait WaitReadable(std::chrono::milliseconds timeout) const
    {
        pollfd fds[2] = {{m_client, POLLIN, 0}, {m_stop, POLLIN, 0}};
        const int ready = poll(fds, 2, static_cast<int>(timeout.count()));
        if (ready < 0 && errno == EINTR)
            return Wait::Ready;
        if (fds[1].revents)
            return Wait::Stopped;
        return ready > 0 ? Wait::Ready : Wait::Idle;
    }

    bool Fill()
    {
        if (WaitReadable(m_options.idleLimit) != Wait::Ready)
            return false;
        char buffer[16384];
        const ssize_t got = recv(m_client, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR)
            return true;
        if (got <= 0)
            return false;
        m_input.append(buffer, static_cast<std::size_t>(got));
        return true;
    }

    // One line without its CRLF; false when the client went away.
    bool ReadLine(std::string &line)
    {
        for (;;) {
            const std::size_t end = m_input.find("\r\n", m_scanned);
            if (end != std::string::npos) {
                line.assign(m_input, 0, end);
                m_input.erase(0, end + 2);
                m_scanned = 0;
                return true;
            }
            m_scanned = m_input.empty() ? 0 : m_input.size() - 1;
            if (m_input.size() > MAX_LINE && !m_inData)
                return false;
            if (!Fill())
                return false;
        }
    }

    bool Reply(const std::string &text) const
    {
        const std::string line = text + "\r\n";
        std::size_t sent = 0;
        while (sent < line.size()) {
            const ssize_t result = send(m_client, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
            if (result < 0 && errno == EINTR)
                continue;
            if (result <= 0)
                return false;
            sent += static_cast<std::size_t>(result);
        }
        return true;
    }

    // The stall keeps the client waiting with continuation lines; the
    // client's leaving or the stop request ends it.
    bool Greet() const
    {
        for (int tick = 0; m_options.stallGreeting && tick < m_options.stallTicks; ++tick) {
            if (!Reply("220-morv-host sink is busy") || WaitReadable(m_options.stallTick) != Wait::Idle)
                return false;
        }
        return Reply("220 morv-host sink ready");
    }

    template <typename Record>
    bool Answer(const std::string &line, Record &record)
    {
        if (StartsWithCommand(line, "HELO") || StartsWithCommand(line, "EHLO"))
            return Reply("250 morv-host sink");
        if (StartsWithCommand(line, "MAIL")) {
            m_message = SinkMessage{};
            m_message.mailFrom = EnvelopeAddress(line);
            return Reply("250 OK");
        }
        if (StartsWithCommand(line, "RCPT")) {
            if (m_options.refuseRecipients)
                return Reply(REFUSAL);
            m_message.recipients.push_back(EnvelopeAddress(line));
            return Reply("250 OK");
        }
        if (StartsWithCommand(line, "DATA"))
            return ReceiveData(record);
        if (StartsWithCommand(line, "RSET") || StartsWithCommand(line, "NOOP"))
            return Reply("250 OK");
        if (StartsWithCommand(line, "QUIT")) {
            Reply("221 Bye");
            return false;
        }
        return Reply("500 Command not recognised");
    }

    template <typename Record>
    bool ReceiveData(Record &record)
    {
        if (!Reply("354 End data with <CR><LF>.<CR><LF>"))
            return false;
        m_inData = true;
        std::string line;
        while (ReadLine(line)) {
            if (line == ".") {
                m_inData = false;
                record(std::move(m_message));
                m_message = SinkMessage{};
                return Reply("250 OK: queued");
            }
            if (m_message.data.size() + line.size() > MAX_DATA) {
                Reply("552 Message too large");
                return false;
            }
            m_message.data.append(line).append("\r\n");
        }
        return false;
    }

    int m_client;
    int m_stop;
    const Options &m_options;
    std::string m_input;
    std::size_t m_scanned = 0;
    bool m_inData = false;
    SinkMessage m_message;
};

SmtpSink::SmtpSink(Options options) : m_options(options)
{
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    m_stop = eventfd(0, EFD_CLOEXEC);
    if (m_listener < 0 || m_stop < 0)
        ThrowSystemError("SMTP sink socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || listen(m_listener, 16) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        ThrowSystemError("SMTP sink listen");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Run(); });
}

SmtpSink::~SmtpSink()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_stop, &one, sizeof one);
    if (m_thread.joinable())
        m_thread.join();
    close(m_listener);
    close(m_stop);
}

std::string SmtpSink::Address() const { return "127.0.0.1:" + std::to_string(m_port); }

void SmtpSink::Run()
{
    for (;;) {
        pollfd fds[2] = {{m_listener, POLLIN, 0}, {m_stop, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0)
            continue;
        if (fds[1].revents)
            return;
        const int client = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        Serve(client);
        close(client);
    }
}

void SmtpSink::Serve(int client)
{
    const int on = 1;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    {
        std::lock_guard lock(m_mutex);
        ++m_connections;
    }
    m_changed.notify_all();
    Session(client, m_stop, m_options).Run([this](SinkMessage message) { Record(std::move(message)); });
}

void SmtpSink::Record(SinkMessage message)
{
    {
        std::lock_guard lock(m_mutex);
        m_messages.push_back(std::move(message));
    }
    m_changed.notify_all();
}

std::vector<SinkMessage> SmtpSink::Messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

std::size_t SmtpSink::Connections() const
{
    std::lock_guard lock(m_mutex);
    return m_connections;
}

bool SmtpSink::WaitForMessages(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_messages.size() >= count; });
}

bool SmtpSink::WaitForConnections(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_connections >= count; });
}
