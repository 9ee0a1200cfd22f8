// A TLS server for one connection on 127.0.0.1, on a thread of its own: it
// completes the handshake with the test certificate for 127.0.0.1, writes
// the greeting in one TLS record, then answers each line it reads with the
// next reply, each in one record, and closes after the last. With
// `handshake` false it accepts TCP and never answers the ClientHello,
// until the object goes.
#pragma once

#include "host/loopback/loopback_socket.h"
#include "platform/event.h"

#include <sys/socket.h>
#include <unistd.h>

#include <openssl/ssl.h>

#include <atomic>
#include <csignal>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class TlsTestServer {
public:
    TlsTestServer(const std::string &certificate, const std::string &key, std::vector<std::string> replies,
                  bool handshake = true)
        : m_replies(std::move(replies)), m_handshake(handshake)
    {
        // OpenSSL writes with write(): a client that has gone must not end
        // the test program.
        std::signal(SIGPIPE, SIG_IGN);
        listen(m_listener.fd.Get(), 4);
        SSL_CTX_use_certificate_chain_file(m_context.get(), certificate.c_str());
        SSL_CTX_use_PrivateKey_file(m_context.get(), key.c_str(), SSL_FILETYPE_PEM);
        m_thread = std::thread([this] { Serve(); });
    }
    ~TlsTestServer()
    {
        m_stop = true;
        shutdown(m_listener.fd.Get(), SHUT_RDWR);
        if (m_connection >= 0)
            shutdown(m_connection, SHUT_RDWR);
        m_thread.join();
    }
    TlsTestServer(const TlsTestServer &) = delete;
    TlsTestServer &operator=(const TlsTestServer &) = delete;

    unsigned short Port() const { return m_listener.port; }
    // Without the handshake: waits up to `timeout` ms for the client's
    // first bytes (its ClientHello).
    bool WaitForHello(DWORD timeout) { return m_hello.Lock(timeout); }

private:
    void Serve()
    {
        const int connection = accept4(m_listener.fd.Get(), nullptr, nullptr, SOCK_CLOEXEC);
        m_connection = connection;
        if (connection < 0 || m_stop)
            return;
        if (!m_handshake) {
            char hello[512];
            if (recv(connection, hello, sizeof hello, 0) > 0)
                m_hello.SetEvent();
            while (!m_stop && recv(connection, hello, sizeof hello, 0) > 0) {
            }
        } else {
            Converse(connection);
        }
        close(connection);
    }

    void Converse(int connection)
    {
        const std::unique_ptr<SSL, decltype(&SSL_free)> ssl(SSL_new(m_context.get()), SSL_free);
        SSL_set_fd(ssl.get(), connection);
        if (SSL_accept(ssl.get()) != 1)
            return;
        char buffer[4096];
        for (const std::string &reply : m_replies) {
            if (&reply != &m_replies.front() && SSL_read(ssl.get(), buffer, sizeof buffer) <= 0)
                break;
            SSL_write(ssl.get(), reply.data(), static_cast<int>(reply.size()));
        }
        SSL_shutdown(ssl.get());
    }

    std::vector<std::string> m_replies;
    bool m_handshake;
    LoopbackSocket m_listener = BindLoopback(SOCK_STREAM);
    std::atomic<int> m_connection{-1};
    std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> m_context{SSL_CTX_new(TLS_server_method()), SSL_CTX_free};
    std::atomic<bool> m_stop{false};
    CEvent m_hello;
    std::thread m_thread;
};
