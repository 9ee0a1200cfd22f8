#include "support/scripted_smtp_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <optional>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left until `deadline`, at least 0.
int MsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 60000));
}

// Index of the first of `fds` that is ready, -1 when the time ran out.
int WaitAny(std::vector<int> fds, Clock::time_point deadline)
{
    std::vector<pollfd> polled;
    for (const int fd : fds)
        polled.push_back(pollfd{fd, POLLIN, 0});
    for (;;) {
        const int ready = poll(polled.data(), polled.size(), MsLeft(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        for (std::size_t i = 0; ready > 0 && i < polled.size(); ++i) {
            if (polled[i].revents != 0)
                return static_cast<int>(i);
        }
        return -1;
    }
}

Clock::time_point After(DWORD ms) { return Clock::now() + std::chrono::milliseconds(ms); }

std::string VerbOf(const std::string &line)
{
    std::string verb;
    for (const char ch : line) {
        if (ch == ' ' || ch == ':' || ch == '\r')
            break;
        verb += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    }
    return verb;
}

// Each framer looks for its end in `bytes`, knowing that none ends before
// `from` (the length it saw last time, so big contents are scanned once).
std::optional<std::size_t> EndOfLine(const std::string &bytes, std::size_t from)
{
    const std::size_t found = bytes.find("\r\n", from > 0 ? from - 1 : 0);
    return found == std::string::npos ? std::nullopt : std::optional<std::size_t>(found + 2);
}

// Where the content that starts at `bytes` ends: the length through its
// end-of-data line, or nothing while that line has not arrived.
std::optional<std::size_t> EndOfData(const std::string &bytes, std::size_t from)
{
    if (bytes.rfind(".\r\n", 0) == 0)
        return 3;
    const std::size_t found = bytes.find("\r\n.\r\n", from > 4 ? from - 4 : 0);
    if (found == std::string::npos)
        return std::nullopt;
    return found + 5;
}

}  // namespace

SmtpScript &SmtpScript::Add(Step step)
{
    m_steps.push_back(std::move(step));
    return *this;
}

SmtpScript &SmtpScript::ReplyInPieces(std::vector<std::string> pieces, DWORD pauseMs)
{
    return Add({Kind::Reply, std::move(pieces), pauseMs});
}

SmtpScript &SmtpScript::Dribble(const std::string &text, DWORD pauseMs)
{
    std::vector<std::string> bytes;
    for (const char ch : text)
        bytes.emplace_back(1, ch);
    return ReplyInPieces(std::move(bytes), pauseMs);
}

// One accepted connection on its serving thread: sends, reads lines and
// mail content through a buffer of unread bytes, and records what arrives.
class ScriptedSmtpServer::Connection {
public:
    Connection(ScriptedSmtpServer &server, std::size_t index, int fd) : m_server(server), m_index(index), m_fd(fd) {}
    ~Connection() { Close(); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    bool Send(const std::string &bytes)
    {
        std::size_t sent = 0;
        while (m_fd >= 0 && sent < bytes.size()) {
            const ssize_t written = send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (written < 0 && errno != EINTR)
                return false;
            sent += written > 0 ? static_cast<std::size_t>(written) : 0;
        }
        return m_fd >= 0;
    }

    // False when the server stops first; waits are cut at `deadline`.
    bool Pause(Clock::time_point deadline) { return WaitAny({m_server.m_stop.PollHandle()}, deadline) < 0; }

    std::optional<std::string> ReadLine() { return ReadUntil(EndOfLine); }

    std::optional<std::string> ReadData() { return ReadUntil(EndOfData); }

    // Records what arrives until the client closes, the server stops, the
    // release event (when given) is set, or the deadline passes. True only
    // for the release.
    bool Drain(const CEvent *release, Clock::time_point deadline)
    {
        while (m_fd >= 0) {
            std::vector<int> fds{m_fd, m_server.m_stop.PollHandle()};
            if (release)
                fds.push_back(release->PollHandle());
            const int ready = WaitAny(fds, deadline);
            if (ready == 2)
                return true;
            if (ready != 0 || !Fill())
                return false;
        }
        return false;
    }

    void Close()
    {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = -1;
    }

private:
    template <typename Framer>
    std::optional<std::string> ReadUntil(Framer frame)
    {
        const auto deadline = After(WAIT_MS);
        for (std::size_t seen = 0;;) {
            if (const auto end = frame(m_unread, seen)) {
                std::string taken = m_unread.substr(0, *end);
                m_unread.erase(0, *end);
                return taken;
            }
            seen = m_unread.size();
            if (m_fd < 0 || WaitAny({m_fd, m_server.m_stop.PollHandle()}, deadline) != 0 || !Fill())
                return std::nullopt;
        }
    }

    // Receives what is there into the unread bytes; false at end of stream.
    bool Fill()
    {
        char buffer[65536];
        const ssize_t received = recv(m_fd, buffer, sizeof buffer, 0);
        if (received <= 0) {
            Close();
            return false;
        }
        m_server.Record(m_index, buffer, static_cast<std::size_t>(received));
        m_unread.append(buffer, static_cast<std::size_t>(received));
        return true;
    }

    ScriptedSmtpServer &m_server;
    std::size_t m_index;
    int m_fd;
    std::string m_unread;
};

ScriptedSmtpServer::ScriptedSmtpServer(std::vector<SmtpScript> scripts)
    : m_scripts(std::move(scripts)), m_scripted(true)
{
    Listen();
}

ScriptedSmtpServer::ScriptedSmtpServer(WellBehavedSmtp behaviour) : m_scripted(false), m_behaviour(std::move(behaviour))
{
    Listen();
}

ScriptedSmtpServer::~ScriptedSmtpServer()
{
    m_stop.SetEvent();
    if (m_acceptor.joinable())
        m_acceptor.join();
    for (std::thread &thread : m_connections)
        thread.join();
    if (m_listen >= 0)
        close(m_listen);
}

void ScriptedSmtpServer::Listen()
{
    m_listen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listen < 0 || bind(m_listen, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
        listen(m_listen, 16) != 0 || getsockname(m_listen, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        throw std::runtime_error("scripted SMTP server cannot listen");
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { AcceptLoop(); });
}

void ScriptedSmtpServer::AcceptLoop()
{
    for (;;) {
        const int ready = WaitAny({m_listen, m_stop.PollHandle()}, After(1000));
        if (ready == 1)
            return;
        if (ready != 0)
            continue;
        const int fd = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::size_t index = 0;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            index = m_received.size();
            m_received.emplace_back();
            m_finished.push_back(false);
        }
        m_changed.notify_all();
        m_connections.emplace_back([this, index, fd] { Serve(index, fd); });
    }
}

void ScriptedSmtpServer::Serve(std::size_t index, int fd)
{
    Connection connection(*this, index, fd);
    if (!m_scripted)
        RunWellBehaved(connection);
    else if (index < m_scripts.size())
        RunScript(connection, m_scripts[index]);
    connection.Close();
    Finish(index);
}

void ScriptedSmtpServer::RunScript(Connection &connection, const SmtpScript &script)
{
    for (const SmtpScript::Step &step : script.Steps()) {
        bool going = true;
        switch (step.kind) {
        case SmtpScript::Kind::Reply:
            for (std::size_t i = 0; going && i < step.pieces.size(); ++i)
                going = (i == 0 || connection.Pause(After(step.pauseMs))) && connection.Send(step.pieces[i]);
            break;
        case SmtpScript::Kind::Pause: going = connection.Pause(After(step.pauseMs)); break;
        case SmtpScript::Kind::Silence: going = false; break;
        case SmtpScript::Kind::Close: return;
        case SmtpScript::Kind::ExpectLine: going = connection.ReadLine().has_value(); break;
        case SmtpScript::Kind::ReadData: going = connection.ReadData().has_value(); break;
        }
        if (!going)
            break;
    }
    connection.Drain(nullptr, After(WAIT_MS * 3));
}

bool ScriptedSmtpServer::ReplyAt(Connection &connection, const std::string &step, const std::string &reply)
{
    if (step == m_behaviour.holdAt) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_held;
        }
        m_changed.notify_all();
        if (!connection.Drain(&m_release, After(WAIT_MS * 3)))
            return false;
    }
    const auto found = m_behaviour.replies.find(step);
    return connection.Send(found != m_behaviour.replies.end() ? found->second : reply);
}

bool ScriptedSmtpServer::DataAccepted() const
{
    const auto found = m_behaviour.replies.find("DATA");
    return found == m_behaviour.replies.end() || found->second.rfind("354", 0) == 0;
}

void ScriptedSmtpServer::RunWellBehaved(Connection &connection)
{
    static const std::map<std::string, std::string> REPLIES{
        {"HELO", "250 scripted.test\r\n"}, {"EHLO", "250 scripted.test\r\n"}, {"MAIL", "250 OK\r\n"},
        {"RCPT", "250 OK\r\n"},           {"RSET", "250 OK\r\n"},           {"NOOP", "250 OK\r\n"},
        {"DATA", "354 End data with <CR><LF>.<CR><LF>\r\n"},               {"QUIT", "221 Bye\r\n"}};
    if (!ReplyAt(connection, "GREETING", "220 scripted.test SMTP ready\r\n"))
        return;
    while (const auto line = connection.ReadLine()) {
        const std::string verb = VerbOf(*line);
        const auto known = REPLIES.find(verb);
        if (!ReplyAt(connection, verb, known != REPLIES.end() ? known->second : "500 Unknown command\r\n"))
            return;
        if (verb == "QUIT")
            return;
        if (verb != "DATA" || !DataAccepted())
            continue;
        auto content = connection.ReadData();
        if (!content)
            return;
        content->resize(content->size() - 3);  // the ".\r\n" line
        AddMessage(std::move(*content));
        if (!ReplyAt(connection, "END", "250 OK queued\r\n"))
            return;
    }
}

void ScriptedSmtpServer::Record(std::size_t index, const char *data, std::size_t length)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_received[index].append(data, length);
    }
    m_changed.notify_all();
}

void ScriptedSmtpServer::AddMessage(std::string message)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_messages.push_back(std::move(message));
    }
    m_changed.notify_all();
}

void ScriptedSmtpServer::Finish(std::size_t index)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_finished[index] = true;
    }
    m_changed.notify_all();
}

void ScriptedSmtpServer::Release() { m_release.SetEvent(); }

std::size_t ScriptedSmtpServer::ConnectionCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received.size();
}

std::string ScriptedSmtpServer::Received(std::size_t index) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return index < m_received.size() ? m_received[index] : std::string();
}

std::vector<std::string> ScriptedSmtpServer::Messages() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_messages;
}

bool ScriptedSmtpServer::WaitFor(const std::function<bool()> &condition, DWORD timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), condition);
}

bool ScriptedSmtpServer::WaitForConnectionEnd(std::size_t index, DWORD timeoutMs) const
{
    return WaitFor([&] { return index < m_finished.size() && m_finished[index]; }, timeoutMs);
}

bool ScriptedSmtpServer::WaitForReceived(std::size_t index, const std::string &text, DWORD timeoutMs) const
{
    return WaitFor([&] { return index < m_received.size() && m_received[index].find(text) != std::string::npos; },
                   timeoutMs);
}

bool ScriptedSmtpServer::WaitForMessages(std::size_t count, DWORD timeoutMs) const
{
    return WaitFor([&] { return m_messages.size() >= count; }, timeoutMs);
}

bool ScriptedSmtpServer::WaitUntilHeld(DWORD timeoutMs) const
{
    return WaitFor([&] { return m_held > 0; }, timeoutMs);
}
