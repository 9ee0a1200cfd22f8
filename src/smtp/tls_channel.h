// CTlsChannel: the client side of TLS (TLS 1.2 at least) on one connected
// socket of CClientSocket, which owns it and drives it on its one thread:
// OpenSSL 3 here (posix/tls_channel.cpp), Schannel on Windows
// (windows/tls_channel.cpp). Its bytes go through the socket's SocketCalls
// table, so whatever a test or a fuzzer slips under the plain socket also
// sits under TLS. It never waits: every step says what it needs (IoAttempt)
// and the socket waits for it, with the abort and the bounds.
#pragma once

#include "platform/cstring.h"
#include "smtp/io_attempt.h"
#include "smtp/socket_calls.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>

// Whom the certificate must name and what to trust besides the system's
// store.
struct TlsPeer {
    CString host;    // a host name (also sent as SNI) or an IP address text
    CString caFile;  // PEM certificates to trust as well; empty for none
};

// Formats taking the host and the reason.
constexpr const char *TLS_HANDSHAKE_FAILED_TEXT = "TLS handshake with %s failed: %s";
constexpr const char *TLS_CERTIFICATE_REFUSED_TEXT = "Could not verify the certificate of %s: %s";
// Takes the file and the reason.
constexpr const char *TLS_CA_FILE_TEXT = "Cannot read the trusted certificates in %s: %s";
// The most plain text one TLS record carries.
constexpr std::size_t TLS_RECORD_BYTES = 16384;

class CTlsChannel {
public:
    CTlsChannel(const SocketCalls &calls, SocketHandle socket);
    ~CTlsChannel();
    CTlsChannel(const CTlsChannel &) = delete;
    CTlsChannel &operator=(const CTlsChannel &) = delete;

    // Sets up the context and the connection for `peer`; FALSE with the
    // reason in Failure() when the trusted certificates cannot be read.
    bool Prepare(const TlsPeer &peer);
    // One step of the handshake: Moved once it is done.
    IoAttempt Handshake();
    // Writes from the front of the pieces; small pieces go into one record
    // together, so that a short message leaves in one segment.
    IoAttempt Write(std::span<const std::string_view> pieces);
    IoAttempt Read(char *buffer, std::size_t capacity);
    // Decrypted bytes wait to be read: no wait on the socket is needed.
    bool HasPendingInput() const;
    // Sends the closing alert once, without waiting; not after a failure.
    void Shutdown();

    // Why Prepare or the handshake failed, naming the host; `lastError`
    // explains a failure that the library did not see (a bound, a close).
    CString Failure(DWORD lastError) const;
    // "TLSv1.3, TLS_AES_256_GCM_SHA384, subject /CN=smtp.example.org".
    CString Summary() const;

    // The socket beneath, which the library's bytes travel through.
    struct Target {
        const SocketCalls *calls;
        SocketHandle socket;
    };
    // The library's state for one connection; each side defines its own.
    struct Engine;

private:
    // Puts the front of `data`, at least one record of it, on its way.
    IoAttempt Write(const char *data, std::size_t length);
    bool FailPreparing(const CString &text);
    // The library's reason for refusing the server's certificate; empty
    // when it was not refused.
    CString CertificateRefusal() const;

    Target m_target;
    CString m_host;
    CString m_reason;       // the library's words for a failure
    CString m_prepareText;  // why Prepare failed
    bool m_failed = false;
    std::string m_staged;   // small pieces gathered for one record
    std::unique_ptr<Engine> m_engine;  // after m_target: freed first
};
