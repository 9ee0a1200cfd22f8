// The TLS test server (../tls_test_server.h) with OpenSSL, on a thread of
// its own.
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
    TlsTestServer(const std::string &certificate, const std::string &key, std::vector<TlsReply> replies,
                  TlsHandshake handshake = TlsHandshake::Complete)
        : m_replies(std::move(replies)), m_handshake(handshake)
    {
        // OpenSSL writes with write(): a client that has gone must not end
        // the test program.
        std::signal(SIGPIPE, SIG_IGN);
        listen(m_listener.fd.Get(), 4);
        SSL_CTX_use_certificate_chain_file(m_context.get(), certificate.c_str());
        SSL_CTX_use_PrivateKey_file(m_context.get(), key.c_str(), SSL_FILETYPE_PEM);
        if (handshake == TlsHandshake::Tls11Only) {
            SSL_CTX_set_min_proto_version(m_context.get(), TLS1_VERSION);
            SSL_CTX_set_max_proto_version(m_context.get(), TLS1_1_VERSION);
            SSL_CTX_set_cipher_list(m_context.get(), "AES128-SHA:@SECLEVEL=0");
        }
        m_thread = std::thread([this] { Serve(); });
    }
    ~TlsTestServer()
    {
        m_stop = true;
        m_stopped.SetEvent();
        shutdown(m_listener.fd.Get(), SHUT_RDWR);
        if (m_connection >= 0)
            shutdown(m_connection, SHUT_RDWR);
        if (m_thread.joinable())
            m_thread.join();
    }
    TlsTestServer(const TlsTestServer &) = delete;
    TlsTestServer &operator=(const TlsTestServer &) = delete;

    unsigned short Port() const { return m_listener.port; }
    // Without the handshake: waits up to `timeout` ms for the client's
    // first bytes (its ClientHello).
    bool WaitForHello(DWORD timeout) { return m_hello.Lock(timeout); }
    // What the client sent under TLS, once it has closed: a reply still
    // paused is not sent, and the server reads to the end.
    std::string Received()
    {
        m_stopped.SetEvent();
        if (m_thread.joinable())
            m_thread.join();
        return m_received;
    }
    // The same, as each read took it: one TLS record per read.
    std::vector<std::string> Reads()
    {
        Received();
        return m_reads;
    }

private:
    void Serve()
    {
        const int connection = accept4(m_listener.fd.Get(), nullptr, nullptr, SOCK_CLOEXEC);
        m_connection = connection;
        if (connection < 0 || m_stop)
            return;
        if (m_handshake == TlsHandshake::Never) {
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
        for (const TlsReply &reply : m_replies) {
            if (&reply != &m_replies.front() && !ReadSome(ssl.get()))
                return;
            if (m_stopped.Lock(reply.pauseMs))
                break;
            SSL_write(ssl.get(), reply.text.data(), static_cast<int>(reply.text.size()));
        }
        while (ReadSome(ssl.get())) {
        }
        SSL_shutdown(ssl.get());
    }

    bool ReadSome(SSL *ssl)
    {
        char buffer[4096];
        const int count = SSL_read(ssl, buffer, sizeof buffer);
        if (count > 0) {
            m_received.append(buffer, static_cast<std::size_t>(count));
            m_reads.emplace_back(buffer, static_cast<std::size_t>(count));
        }
        return count > 0;
    }

    std::vector<TlsReply> m_replies;
    TlsHandshake m_handshake;
    LoopbackSocket m_listener = BindLoopback(SOCK_STREAM);
    std::atomic<int> m_connection{-1};
    std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> m_context{SSL_CTX_new(TLS_server_method()), SSL_CTX_free};
    std::atomic<bool> m_stop{false};
    CEvent m_stopped;  // set by Received and the destructor: a pause ends at once
    CEvent m_hello;
    std::string m_received;  // the server thread's until it has ended
    std::vector<std::string> m_reads;  // the same
    std::thread m_thread;
};
