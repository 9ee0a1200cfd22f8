#include "host/loopback/loopback_smtp_server.h"

#include "host/os/sockets.h"
#include "platform/ticks.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <optional>
#include <system_error>

namespace {

const std::map<std::string, std::string> DEFAULT_REPLIES{
    {"GREETING", "220 scripted.test SMTP ready\r\n"},
    {"HELO", "250 scripted.test\r\n"},
    {"EHLO", "250 scripted.test\r\n"},
    {"MAIL", "250 OK\r\n"},
    {"RCPT", "250 OK\r\n"},
    {"RSET", "250 OK\r\n"},
    {"NOOP", "250 OK\r\n"},
    {"DATA", "354 End data with <CR><LF>.<CR><LF>\r\n"},
    {"END", "250 OK queued\r\n"},
    {"QUIT", "221 Bye\r\n"}};
const std::string UNKNOWN_COMMAND = "500 Unknown command\r\n";
const std::string STALL_LINE = "220-scripted.test is busy\r\n";

[[noreturn]] void ThrowSystemError(const char *what)
{
    throw std::system_error(LastSocketError(), std::system_category(), what);
}

int PollTimeout(DWORD left) { return left == INFINITE ? -1 : static_cast<int>(std::min<DWORD>(left, INT_MAX)); }

// Index of the first of `fds` that is ready, -1 when the bound ran out.
int WaitAny(const std::vector<int> &fds, const CTickBound &bound)
{
    std::vector<pollfd> polled;
    for (const int fd : fds)
        polled.push_back(pollfd{static_cast<decltype(pollfd::fd)>(fd), POLLIN, 0});
    int ready = -1;
    do
        ready = PollSockets(polled.data(), polled.size(), PollTimeout(bound.Left()));
    while (ready < 0 && IsInterrupted(LastSocketError()));
    const auto first = std::find_if(polled.begin(), polled.end(), [](const pollfd &each) { return each.revents != 0; });
    return ready > 0 && first != polled.end() ? static_cast<int>(first - polled.begin()) : -1;
}

LoopbackSocket ListenOnLoopback()
{
    LoopbackSocket listener = BindLoopback(SOCK_STREAM);
    if (listener.port == 0 || listen(listener.fd.Get(), 16) != 0)
        ThrowSystemError("loopback SMTP server cannot listen");
    return listener;
}

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

// The text between the first "<" and the following ">", or after the colon.
std::string EnvelopeAddress(const std::string &line)
{
    const std::size_t open = line.find('<');
    const std::size_t close = line.find('>', open == std::string::npos ? 0 : open);
    if (open != std::string::npos && close != std::string::npos)
        return line.substr(open + 1, close - open - 1);
    const std::size_t colon = line.find(':');
    return colon == std::string::npos ? std::string() : line.substr(colon + 1);
}

bool StartsWith(const std::string &text, char first) { return !text.empty() && text.front() == first; }

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

// One accepted connection on its serving thread: sends, reads lines and
// mail content through a buffer of unread bytes, and records what arrives.
class LoopbackSmtpServer::Connection {
public:
    Connection(LoopbackSmtpServer &server, std::size_t index, UniqueFd socket)
        : m_server(server), m_index(index), m_socket(std::move(socket))
    {
    }

    bool Send(const std::string &bytes)
    {
        std::size_t sent = 0;
        while (m_socket.Valid() && sent < bytes.size()) {
            const long written = SendSome(m_socket.Get(), bytes.data() + sent, bytes.size() - sent);
            if (written < 0 && !IsInterrupted(LastSocketError()))
                return false;
            sent += written > 0 ? static_cast<std::size_t>(written) : 0;
        }
        return m_socket.Valid();
    }

    // Sends the pieces with a pause of `pauseMs` between them.
    bool SendPieces(const std::vector<std::string> &pieces, DWORD pauseMs)
    {
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            if ((i > 0 && !Pause(pauseMs)) || !Send(pieces[i]))
                return false;
        }
        return true;
    }

    // False when the server stops first.
    bool Pause(DWORD ms) { return WaitAny({m_server.m_stop.PollFd()}, CTickBound(ms)) < 0; }

    std::optional<std::string> ReadLine() { return ReadUntil(EndOfLine); }

    std::optional<std::string> ReadData() { return ReadUntil(EndOfData); }

    // Records what arrives until the client closes, the server stops, the
    // release flag (when given) is raised, or `boundMs` has passed. True
    // only for the release.
    bool Drain(const PollFlag *release, DWORD boundMs)
    {
        const CTickBound bound(boundMs);
        while (m_socket.Valid()) {
            std::vector<int> fds{m_socket.Get(), m_server.m_stop.PollFd()};
            if (release)
                fds.push_back(release->PollFd());
            const int ready = WaitAny(fds, bound);
            if (ready == 2)
                return true;
            if (ready != 0 || !Fill())
                return false;
        }
        return false;
    }

    void Close() { m_socket.Reset(); }

private:
    template <typename Framer>
    std::optional<std::string> ReadUntil(Framer frame)
    {
        const CTickBound bound(WAIT_MS);
        for (std::size_t seen = 0;;) {
            if (const auto end = frame(m_unread, seen)) {
                std::string taken = m_unread.substr(0, *end);
                m_unread.erase(0, *end);
                return taken;
            }
            seen = m_unread.size();
            if (!m_socket.Valid() || WaitAny({m_socket.Get(), m_server.m_stop.PollFd()}, bound) != 0 || !Fill())
                return std::nullopt;
        }
    }

    // Receives what is there into the unread bytes; false at end of stream.
    bool Fill()
    {
        char buffer[65536];
        const long received = ReceiveSome(m_socket.Get(), buffer, sizeof buffer);
        if (received <= 0) {
            Close();
            return false;
        }
        m_server.Record(m_index, buffer, static_cast<std::size_t>(received));
        m_unread.append(buffer, static_cast<std::size_t>(received));
        return true;
    }

    LoopbackSmtpServer &m_server;
    std::size_t m_index;
    UniqueFd m_socket;
    std::string m_unread;
};

LoopbackSmtpServer::LoopbackSmtpServer(std::vector<SmtpScript> scripts)
    : LoopbackSmtpServer(std::move(scripts), true, WellBehavedSmtp{})
{
}

LoopbackSmtpServer::LoopbackSmtpServer(WellBehavedSmtp behaviour)
    : LoopbackSmtpServer({}, false, std::move(behaviour))
{
}

LoopbackSmtpServer::LoopbackSmtpServer(std::vector<SmtpScript> scripts, bool scripted, WellBehavedSmtp behaviour)
    : m_scripts(std::move(scripts)), m_scripted(scripted), m_behaviour(std::move(behaviour)),
      m_listen(ListenOnLoopback())
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_workers.emplace_back([this] { Work(); });
}

LoopbackSmtpServer::~LoopbackSmtpServer()
{
    std::vector<std::thread> workers;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        workers = std::move(m_workers);
    }
    m_turn.notify_all();
    m_stop.Raise();
    for (std::thread &worker : workers)
        worker.join();
}

std::string LoopbackSmtpServer::Address() const { return "127.0.0.1:" + std::to_string(m_listen.port); }

// The workers take turns: one listens while the others serve or wait, and
// the one that accepts a connection serves it itself, so a client is
// greeted by a thread that is already running, and the next connection is
// accepted meanwhile.
void LoopbackSmtpServer::Work()
{
    while (TakeListening()) {
        UniqueFd socket = Accept();
        const std::size_t index = socket.Valid() ? Register() : 0;
        PassListening();
        if (socket.Valid())
            Serve(index, std::move(socket));
    }
}

// False once the server stops.
bool LoopbackSmtpServer::TakeListening()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    ++m_idle;
    m_turn.wait(lock, [this] { return m_stopping || !m_listening; });
    --m_idle;
    m_listening = !m_stopping;
    return !m_stopping;
}

// An invalid socket when the server stops or the accept failed.
UniqueFd LoopbackSmtpServer::Accept() const
{
    const int ready = WaitAny({m_listen.fd.Get(), m_stop.PollFd()}, CTickBound(INFINITE));
    return UniqueFd(ready == 0 ? AcceptConnection(m_listen.fd.Get()) : -1);
}

// Hands the listening to a waiting worker, or to a new one when all serve.
void LoopbackSmtpServer::PassListening()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_listening = false;
    if (m_stopping)
        return;
    if (m_idle > 0)
        m_turn.notify_one();
    else
        m_workers.emplace_back([this] { Work(); });
}

// The next connection's index, in the order of acceptance.
std::size_t LoopbackSmtpServer::Register()
{
    std::size_t index = 0;
    Changed([&] {
        index = m_received.size();
        m_received.emplace_back();
        m_finished.push_back(false);
    });
    return index;
}

void LoopbackSmtpServer::Serve(std::size_t index, UniqueFd socket)
{
    const int on = 1;
    setsockopt(socket.Get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char *>(&on), sizeof on);
    Connection connection(*this, index, std::move(socket));
    if (!m_scripted)
        RunWellBehaved(connection);
    else if (index < m_scripts.size())
        RunScript(connection, m_scripts[index]);
    connection.Close();
    Finish(index);
}

void LoopbackSmtpServer::RunScript(Connection &connection, const SmtpScript &script)
{
    for (const SmtpScript::Step &step : script.Steps()) {
        if (step.kind == SmtpScript::Kind::Close)
            return;
        if (!PlayStep(connection, step))
            break;
    }
    connection.Drain(nullptr, WAIT_MS * 3);
}

// False when the script goes no further.
bool LoopbackSmtpServer::PlayStep(Connection &connection, const SmtpScript::Step &step)
{
    switch (step.kind) {
    case SmtpScript::Kind::Reply: return connection.SendPieces(step.pieces, step.pauseMs);
    case SmtpScript::Kind::Pause: return connection.Pause(step.pauseMs);
    case SmtpScript::Kind::ExpectLine: return connection.ReadLine().has_value();
    case SmtpScript::Kind::ReadData: return connection.ReadData().has_value();
    case SmtpScript::Kind::Silence:
    case SmtpScript::Kind::Close: break;
    }
    return false;
}

void LoopbackSmtpServer::RunWellBehaved(Connection &connection)
{
    if (!Greet(connection))
        return;
    ReceivedMail mail;
    while (const auto line = connection.ReadLine()) {
        if (!Answer(connection, line->substr(0, line->size() - 2), mail))
            return;
    }
}

bool LoopbackSmtpServer::Greet(Connection &connection)
{
    for (int i = 0; i < m_behaviour.stallLines; ++i) {
        if (!connection.Send(STALL_LINE) || !connection.Pause(m_behaviour.stallMs))
            return false;
    }
    return ReplyAt(connection, "GREETING");
}

// Replies to one command line (without its CRLF) and takes what it
// carries into `mail` when the reply accepted it; false when the dialogue
// is over.
bool LoopbackSmtpServer::Answer(Connection &connection, const std::string &command, ReceivedMail &mail)
{
    const std::string verb = VerbOf(command);
    if (!ReplyAt(connection, verb) || verb == "QUIT")
        return false;
    const std::string &reply = ReplyFor(verb);
    if (verb == "DATA" && StartsWith(reply, '3'))
        return ReceiveContent(connection, mail);
    if (verb == "MAIL" && StartsWith(reply, '2'))
        mail = ReceivedMail{EnvelopeAddress(command), {}, {}};
    else if (verb == "RCPT" && StartsWith(reply, '2'))
        mail.recipients.push_back(EnvelopeAddress(command));
    return true;
}

bool LoopbackSmtpServer::ReceiveContent(Connection &connection, ReceivedMail &mail)
{
    auto content = connection.ReadData();
    if (!content)
        return false;
    content->resize(content->size() - 3);  // the ".\r\n" line
    mail.data = std::move(*content);
    AddMail(std::exchange(mail, ReceivedMail{}));
    return ReplyAt(connection, "END");
}

// Sends the reply of `step`, first staying silent there when it is the
// hold step; false when the connection is gone or the hold ended without
// a release.
bool LoopbackSmtpServer::ReplyAt(Connection &connection, const std::string &step)
{
    if (!m_behaviour.holdAt.empty() && step == m_behaviour.holdAt) {
        Changed([&] { ++m_held; });
        if (!connection.Drain(&m_release, WAIT_MS * 3))
            return false;
    }
    return connection.Send(ReplyFor(step));
}

const std::string &LoopbackSmtpServer::ReplyFor(const std::string &step) const
{
    if (const auto found = m_behaviour.replies.find(step); found != m_behaviour.replies.end())
        return found->second;
    const auto known = DEFAULT_REPLIES.find(step);
    return known != DEFAULT_REPLIES.end() ? known->second : UNKNOWN_COMMAND;
}

void LoopbackSmtpServer::Changed(const std::function<void()> &change)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        change();
    }
    m_changed.notify_all();
}

void LoopbackSmtpServer::Record(std::size_t index, const char *data, std::size_t length)
{
    Changed([&] { m_received[index].append(data, length); });
}

void LoopbackSmtpServer::AddMail(ReceivedMail mail)
{
    Changed([&] { m_mails.push_back(std::move(mail)); });
}

void LoopbackSmtpServer::Finish(std::size_t index)
{
    Changed([&] { m_finished[index] = true; });
}

void LoopbackSmtpServer::Release() { m_release.Raise(); }

std::size_t LoopbackSmtpServer::ConnectionCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received.size();
}

std::string LoopbackSmtpServer::Received(std::size_t index) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return index < m_received.size() ? m_received[index] : std::string();
}

std::vector<ReceivedMail> LoopbackSmtpServer::Mails() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mails;
}

std::vector<std::string> LoopbackSmtpServer::Messages() const
{
    std::vector<std::string> messages;
    for (ReceivedMail &mail : Mails())
        messages.push_back(std::move(mail.data));
    return messages;
}

bool LoopbackSmtpServer::WaitFor(const std::function<bool()> &condition, DWORD timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), condition);
}

bool LoopbackSmtpServer::WaitForConnections(std::size_t count, DWORD timeoutMs) const
{
    return WaitFor([&] { return m_received.size() >= count; }, timeoutMs);
}

bool LoopbackSmtpServer::WaitForConnectionEnd(std::size_t index, DWORD timeoutMs) const
{
    return WaitFor([&] { return index < m_finished.size() && m_finished[index]; }, timeoutMs);
}

bool LoopbackSmtpServer::WaitForMessages(std::size_t count, DWORD timeoutMs) const
{
    return WaitFor([&] { return m_mails.size() >= count; }, timeoutMs);
}

bool LoopbackSmtpServer::WaitUntilHeld(DWORD timeoutMs) const
{
    return WaitFor([&] { return m_held > 0; }, timeoutMs);
}
