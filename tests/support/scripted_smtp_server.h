// ScriptedSmtpServer: an SMTP server for tests on 127.0.0.1 and an ephemeral
// port. Each accepted connection runs on its own thread, playing either the
// next script of a list or the well-behaved dialogue; every byte received is
// recorded per connection. Tests read it from their own thread; the
// destructor stops every wait at once and joins all threads.
#pragma once

#include "platform/event.h"
#include "platform/win_types.h"

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// What the server does on one connection, step by step. After the last step
// it records what still arrives until the client closes.
class SmtpScript {
public:
    enum class Kind { Reply, Pause, Silence, Close, ExpectLine, ReadData };
    struct Step {
        Kind kind;
        std::vector<std::string> pieces;  // Reply: sent one by one
        DWORD pauseMs = 0;                // Reply: between pieces; Pause: its length
    };

    // Sends `text` in one piece.
    SmtpScript &Reply(std::string text) { return Add({Kind::Reply, {std::move(text)}, 0}); }
    // Sends the pieces one by one with `pauseMs` between them.
    SmtpScript &ReplyInPieces(std::vector<std::string> pieces, DWORD pauseMs);
    // Sends `text` one byte at a time, `pauseMs` apart.
    SmtpScript &Dribble(const std::string &text, DWORD pauseMs);
    SmtpScript &Pause(DWORD ms) { return Add({Kind::Pause, {}, ms}); }
    // Sends nothing more and records what arrives until the client closes.
    SmtpScript &StaySilent() { return Add({Kind::Silence, {}, 0}); }
    SmtpScript &Close() { return Add({Kind::Close, {}, 0}); }
    // Reads one command line.
    SmtpScript &ExpectLine() { return Add({Kind::ExpectLine, {}, 0}); }
    // Reads mail content through its end-of-data line.
    SmtpScript &ReadData() { return Add({Kind::ReadData, {}, 0}); }

    const std::vector<Step> &Steps() const { return m_steps; }

private:
    SmtpScript &Add(Step step);

    std::vector<Step> m_steps;
};

// The well-behaved dialogue: 220, 250 to HELO, EHLO, MAIL, RCPT, RSET and
// NOOP, 354 to DATA, 250 after the end of data, 221 to QUIT, 500 otherwise;
// any number of connections and messages.
struct WellBehavedSmtp {
    // Replaces the reply at a step, e.g. {"RCPT", "550 no such user\r\n"}.
    // Steps: "GREETING", a command's verb ("HELO", "MAIL", "RCPT", "DATA",
    // "QUIT", ...) and "END" for the end of data.
    std::map<std::string, std::string> replies;
    // A step at which the server stays silent until Release() or until the
    // client goes away; empty for none.
    std::string holdAt;
};

class ScriptedSmtpServer {
public:
    static constexpr DWORD WAIT_MS = 10000;

    // Connection i plays scripts[i]; connections beyond the list are closed.
    explicit ScriptedSmtpServer(std::vector<SmtpScript> scripts);
    explicit ScriptedSmtpServer(WellBehavedSmtp behaviour = {});
    ~ScriptedSmtpServer();
    ScriptedSmtpServer(const ScriptedSmtpServer &) = delete;
    ScriptedSmtpServer &operator=(const ScriptedSmtpServer &) = delete;

    unsigned short Port() const { return m_port; }
    std::size_t ConnectionCount() const;
    // Every byte that connection `index` has received so far.
    std::string Received(std::size_t index) const;
    // The content of each mail the well-behaved dialogue read, without its
    // end-of-data line.
    std::vector<std::string> Messages() const;

    // Each waits up to `timeoutMs`; false when the time ran out.
    bool WaitForConnectionEnd(std::size_t index, DWORD timeoutMs = WAIT_MS) const;
    bool WaitForReceived(std::size_t index, const std::string &text, DWORD timeoutMs = WAIT_MS) const;
    bool WaitForMessages(std::size_t count, DWORD timeoutMs = WAIT_MS) const;
    // Until some connection is held at the hold step.
    bool WaitUntilHeld(DWORD timeoutMs = WAIT_MS) const;
    // Lets every held connection, now and later, go on.
    void Release();

private:
    class Connection;

    void Listen();
    void AcceptLoop();
    void Serve(std::size_t index, int fd);
    void RunScript(Connection &connection, const SmtpScript &script);
    void RunWellBehaved(Connection &connection);
    bool DataAccepted() const;
    bool ReplyAt(Connection &connection, const std::string &step, const std::string &reply);
    bool WaitFor(const std::function<bool()> &condition, DWORD timeoutMs) const;
    void Record(std::size_t index, const char *data, std::size_t length);
    void AddMessage(std::string message);
    void Finish(std::size_t index);

    const std::vector<SmtpScript> m_scripts;
    const bool m_scripted;
    const WellBehavedSmtp m_behaviour;
    int m_listen = -1;
    unsigned short m_port = 0;
    CEvent m_stop;     // polled, never reset: set once by the destructor
    CEvent m_release;  // polled, never reset: set once by Release

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<std::string> m_received;  // guarded by m_mutex
    std::vector<bool> m_finished;         // guarded by m_mutex
    std::vector<std::string> m_messages;  // guarded by m_mutex
    int m_held = 0;                       // guarded by m_mutex

    std::vector<std::thread> m_connections;  // the accept thread's until it is joined
    std::thread m_acceptor;
};
