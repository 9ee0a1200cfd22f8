// LoopbackSmtpServer: an SMTP server on 127.0.0.1 and an ephemeral port, for
// the demo, the end-to-end benchmark and the tests. Connections are served
// at the same time, each on a thread of its own, playing either the next
// script of a list or the well-behaved dialogue, which accepts every mail
// and keeps it; every byte received is recorded per connection. Any thread
// may read what it recorded and wait for it; the destructor stops every
// wait at once and joins all threads.
#pragma once

#include "host/loopback/loopback_socket.h"
#include "host/loopback/received_mail.h"
#include "host/loopback/smtp_script.h"
#include "host/os/poll_flag.h"
#include "host/os/unique_fd.h"

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The well-behaved dialogue: 220, 250 to HELO, EHLO, MAIL, RCPT, RSET and
// NOOP, 354 to DATA, 250 after the end of data, 221 to QUIT, 500 otherwise;
// any number of connections and mails.
struct WellBehavedSmtp {
    // Replaces the reply at a step, e.g. {"RCPT", "550 no such user\r\n"}.
    // Steps: "GREETING", a command's verb ("HELO", "MAIL", "RCPT", "DATA",
    // "QUIT", ...) and "END" for the end of data.
    std::map<std::string, std::string> replies{};
    // A step at which the server stays silent until Release() or until the
    // client goes away; empty for none.
    std::string holdAt{};
    // Keeps the client waiting before the greeting as a slow server does:
    // this many "220-" lines, `stallMs` apart. 0 for none.
    int stallLines = 0;
    DWORD stallMs = 100;
};

class LoopbackSmtpServer {
public:
    // How long the server waits for a client's line or content, and the
    // default bound of a test's waits below.
    static constexpr DWORD WAIT_MS = 10000;

    // Each listens on a free port of 127.0.0.1, or throws std::system_error.
    // With scripts, connection i plays scripts[i] and connections beyond the
    // list are closed; otherwise every connection plays the well-behaved
    // dialogue.
    explicit LoopbackSmtpServer(std::vector<SmtpScript> scripts);
    explicit LoopbackSmtpServer(WellBehavedSmtp behaviour = {});
    ~LoopbackSmtpServer();
    LoopbackSmtpServer(const LoopbackSmtpServer &) = delete;
    LoopbackSmtpServer &operator=(const LoopbackSmtpServer &) = delete;

    unsigned short Port() const { return m_listen.port; }
    // "127.0.0.1:PORT", the form "ServerSMTP" takes.
    std::string Address() const;

    std::size_t ConnectionCount() const;
    // Every byte that connection `index` has received so far.
    std::string Received(std::size_t index) const;
    // Each mail the well-behaved dialogue took, in arrival order.
    std::vector<ReceivedMail> Mails() const;
    // The same mails' data: the content without its end-of-data line.
    std::vector<std::string> Messages() const;

    // Each waits up to `timeoutMs`; false when the time ran out.
    bool WaitForConnections(std::size_t count, DWORD timeoutMs = WAIT_MS) const;
    bool WaitForConnectionEnd(std::size_t index, DWORD timeoutMs = WAIT_MS) const;
    bool WaitForMessages(std::size_t count, DWORD timeoutMs = WAIT_MS) const;
    // Until some connection is held at the hold step.
    bool WaitUntilHeld(DWORD timeoutMs = WAIT_MS) const;
    // Lets every held connection, now and later, go on.
    void Release();

private:
    class Connection;

    LoopbackSmtpServer(std::vector<SmtpScript> scripts, bool scripted, WellBehavedSmtp behaviour);
    void Work();
    bool TakeListening();
    UniqueFd Accept() const;
    void PassListening();
    std::size_t Register();
    void Serve(std::size_t index, UniqueFd socket);
    void RunScript(Connection &connection, const SmtpScript &script);
    bool PlayStep(Connection &connection, const SmtpScript::Step &step);
    void RunWellBehaved(Connection &connection);
    bool Greet(Connection &connection);
    bool Answer(Connection &connection, const std::string &command, ReceivedMail &mail);
    bool ReceiveContent(Connection &connection, ReceivedMail &mail);
    bool ReplyAt(Connection &connection, const std::string &step);
    const std::string &ReplyFor(const std::string &step) const;
    bool WaitFor(const std::function<bool()> &condition, DWORD timeoutMs) const;
    void Record(std::size_t index, const char *data, std::size_t length);
    void AddMail(ReceivedMail mail);
    void Finish(std::size_t index);
    void Changed(const std::function<void()> &change);

    const std::vector<SmtpScript> m_scripts;
    const bool m_scripted;
    const WellBehavedSmtp m_behaviour;
    LoopbackSocket m_listen;
    PollFlag m_stop;     // raised once by the destructor
    PollFlag m_release;  // raised once by Release

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;  // what is recorded changed
    std::condition_variable m_turn;             // the listening is free, or the server stops
    std::vector<std::string> m_received;        // guarded by m_mutex
    std::vector<bool> m_finished;               // guarded by m_mutex
    std::vector<ReceivedMail> m_mails;          // guarded by m_mutex
    int m_held = 0;                             // guarded by m_mutex
    bool m_listening = false;                   // guarded by m_mutex: a worker waits to accept
    int m_idle = 0;                             // guarded by m_mutex: workers waiting for their turn
    bool m_stopping = false;                    // guarded by m_mutex
    std::vector<std::thread> m_workers;         // guarded by m_mutex; the destructor's once it stops
};
