// SmtpSink: a small SMTP server on the loopback interface that accepts every
// message and keeps it as it arrived. It serves the demo, the host's tests
// and the end-to-end benchmark. One thread accepts and serves one
// connection at a time; the stop request ends it promptly. Any thread may
// read the received messages.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SinkMessage {
    std::string mailFrom;                // the address between MAIL FROM's brackets
    std::vector<std::string> recipients; // the same for each RCPT TO
    std::string data;                    // the bytes after 354 up to the end line, as sent (dot-stuffed)

    // The content with the dot-stuffing undone: the mail as the sender meant it.
    std::string Content() const;
    // Content() split at the empty line that ends the header block.
    std::string Header() const;
    std::string Body() const;
};

class SmtpSink {
public:
    struct Options {
        // Instead of greeting, send a "220-" line every `stallTick` until
        // `stallTicks` have gone by, then the greeting: a long delivery.
        bool stallGreeting = false;
        std::chrono::milliseconds stallTick{100};
        int stallTicks = 600;
        // Answer every RCPT TO with this refusal instead of accepting it.
        bool refuseRecipients = false;
        // A connection idle longer than this is closed.
        std::chrono::milliseconds idleLimit{30000};
    };

    static constexpr const char *REFUSAL = "550 5.1.1 No such mailbox here";

    // Listens on 127.0.0.1 on a free port; throws std::system_error.
    SmtpSink() : SmtpSink(Options{}) {}
    explicit SmtpSink(Options options);
    ~SmtpSink();
    SmtpSink(const SmtpSink &) = delete;
    SmtpSink &operator=(const SmtpSink &) = delete;

    int Port() const { return m_port; }
    // "127.0.0.1:PORT", the form "ServerSMTP" takes.
    std::string Address() const;

    std::vector<SinkMessage> Messages() const;
    std::size_t Connections() const;
    // Waits until `count` messages have arrived; false after `timeout`.
    bool WaitForMessages(std::size_t count, std::chrono::milliseconds timeout) const;
    // Waits until `count` connections have been accepted.
    bool WaitForConnections(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    class Session;

    void Run();
    void Serve(int client);
    void Record(SinkMessage message);

    Options m_options;
    int m_listener = -1;
    int m_stop = -1;
    int m_port = 0;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<SinkMessage> m_messages;  // guarded by m_mutex
    std::size_t m_connections = 0;        // guarded by m_mutex
    std::thread m_thread;
};
