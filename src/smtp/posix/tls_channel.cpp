#include "smtp/tls_channel.h"

#include "platform/last_error.h"
#include "smtp/socket_address.h"
#include "smtp/system_sockets.h"
#include "smtp/trust_store.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cerrno>

namespace {

static_assert(TLS_RECORD_BYTES == SSL3_RT_MAX_PLAIN_LENGTH);

bool Transient(int error) { return SocketWouldBlock(error) || error == SOCKET_INTERRUPTED; }

CTlsChannel::Target &TargetOf(BIO *bio) { return *static_cast<CTlsChannel::Target *>(BIO_get_data(bio)); }

int WriteToSocket(BIO *bio, const char *data, int length)
{
    BIO_clear_retry_flags(bio);
    const CTlsChannel::Target &target = TargetOf(bio);
    const std::string_view piece(data, static_cast<std::size_t>(length));
    const long written = target.calls->send(target.socket, std::span(&piece, 1));
    if (written < 0 && Transient(errno))
        BIO_set_retry_write(bio);
    return static_cast<int>(written);
}

int ReadFromSocket(BIO *bio, char *buffer, int capacity)
{
    BIO_clear_retry_flags(bio);
    const CTlsChannel::Target &target = TargetOf(bio);
    const long received = target.calls->receive(target.socket, buffer, static_cast<std::size_t>(capacity));
    if (received < 0 && Transient(errno))
        BIO_set_retry_read(bio);
    return static_cast<int>(received);
}

long ControlSocket(BIO *, int command, long, void *) { return command == BIO_CTRL_FLUSH ? 1 : 0; }

struct MethodFree {
    void operator()(BIO_METHOD *method) const { BIO_meth_free(method); }
};

// A BIO whose bytes travel through the socket-call table; made once.
const BIO_METHOD *SocketBioMethod()
{
    static const std::unique_ptr<BIO_METHOD, MethodFree> method = [] {
        std::unique_ptr<BIO_METHOD, MethodFree> made(
            BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "morv socket calls"));
        if (made) {
            BIO_meth_set_write(made.get(), WriteToSocket);
            BIO_meth_set_read(made.get(), ReadFromSocket);
            BIO_meth_set_ctrl(made.get(), ControlSocket);
        }
        return made;
    }();
    return method.get();
}

CString LibraryReason()
{
    const char *reason = ERR_reason_error_string(ERR_peek_last_error());
    return CString(reason ? reason : "unknown error");
}

// The server's name as the certificate must show it: an IP address is
// checked as one and is never sent as SNI.
bool NamePeer(SSL *connection, const CString &host)
{
    SocketAddress literal;
    if (ParseAddressLiteral(host.GetString(), 0, literal))
        return X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(connection), host.GetString()) == 1;
    return SSL_set_tlsext_host_name(connection, host.GetString()) == 1 && SSL_set1_host(connection, host.GetString()) == 1;
}

struct ContextFree {
    void operator()(SSL_CTX *context) const { SSL_CTX_free(context); }
};

struct ConnectionFree {
    void operator()(SSL *connection) const { SSL_free(connection); }
};

}  // namespace

struct CTlsChannel::Engine {
    std::unique_ptr<SSL_CTX, ContextFree> context;
    std::unique_ptr<SSL, ConnectionFree> connection;  // after the context: freed first

    // What a failed call of the library needs next; a failure keeps its
    // reason in `reason` and sets the last error.
    IoAttempt Outcome(int result, bool &failed, CString &reason) const;
};

CTlsChannel::CTlsChannel(const SocketCalls &calls, SocketHandle socket)
    : m_target{&calls, socket}, m_engine(std::make_unique<Engine>())
{
}

CTlsChannel::~CTlsChannel() = default;

bool CTlsChannel::Prepare(const TlsPeer &peer)
{
    m_host = peer.host;
    ERR_clear_error();
    const CString broken = CString::Formatted(TLS_HANDSHAKE_FAILED_TEXT, m_host.GetString(), "cannot set up TLS");
    m_engine->context.reset(SSL_CTX_new(TLS_client_method()));
    SSL_CTX *context = m_engine->context.get();
    if (!context || SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION) != 1)
        return FailPreparing(broken);
    CString reason;
    const TrustStorePtr trusted = SharedTrustStore(peer.caFile, reason);
    if (!trusted && !peer.caFile.IsEmpty())
        return FailPreparing(CString::Formatted(TLS_CA_FILE_TEXT, peer.caFile.GetString(), reason.GetString()));
    if (!trusted)
        return FailPreparing(broken);
    SSL_CTX_set1_cert_store(context, trusted.get());
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
    m_engine->connection.reset(SSL_new(context));
    SSL *connection = m_engine->connection.get();
    BIO *bio = BIO_new(SocketBioMethod());
    if (!connection || !bio || !NamePeer(connection, m_host)) {
        BIO_free(bio);
        return FailPreparing(broken);
    }
    BIO_set_data(bio, &m_target);
    BIO_set_init(bio, 1);
    SSL_set_bio(connection, bio, bio);
    SSL_set_mode(connection, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    // A reply is framed by its line ends, so a close without the closing
    // alert cannot pass a cut reply off as whole.
    SSL_set_options(connection, SSL_OP_IGNORE_UNEXPECTED_EOF);
    return true;
}

IoAttempt CTlsChannel::Handshake()
{
    ERR_clear_error();
    const int result = SSL_connect(m_engine->connection.get());
    return result == 1 ? IoAttempt::Moved(0) : m_engine->Outcome(result, m_failed, m_reason);
}

IoAttempt CTlsChannel::Write(const char *data, std::size_t length)
{
    if (length == 0)
        return IoAttempt::Moved(0);
    ERR_clear_error();
    std::size_t written = 0;
    const int result = SSL_write_ex(m_engine->connection.get(), data, length, &written);
    return result == 1 ? IoAttempt::Moved(written) : m_engine->Outcome(result, m_failed, m_reason);
}

IoAttempt CTlsChannel::Read(char *buffer, std::size_t capacity)
{
    ERR_clear_error();
    std::size_t received = 0;
    const int result = SSL_read_ex(m_engine->connection.get(), buffer, capacity, &received);
    return result == 1 ? IoAttempt::Moved(received) : m_engine->Outcome(result, m_failed, m_reason);
}

IoAttempt CTlsChannel::Engine::Outcome(int result, bool &failed, CString &reason) const
{
    using Kind = IoAttempt::Kind;
    const int error = SSL_get_error(connection.get(), result);
    if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE)
        return IoAttempt::Is(error == SSL_ERROR_WANT_READ ? Kind::WaitRead : Kind::WaitWrite);
    failed = true;
    const int system = errno;
    if (error == SSL_ERROR_ZERO_RETURN || (error == SSL_ERROR_SYSCALL && system == 0))
        return IoAttempt::Is(Kind::Closed);
    if (error == SSL_ERROR_SYSCALL) {
        SetLastError(static_cast<DWORD>(system));
        return IoAttempt::Is(Kind::Failed);
    }
    reason = LibraryReason();
    SetLastError(WSAECONNABORTED);
    return IoAttempt::Is(Kind::Failed);
}

bool CTlsChannel::HasPendingInput() const
{
    return m_engine->connection && SSL_pending(m_engine->connection.get()) > 0;
}

void CTlsChannel::Shutdown()
{
    SSL *connection = m_engine->connection.get();
    if (connection && !m_failed && SSL_is_init_finished(connection))
        SSL_shutdown(connection);
    m_failed = true;
}

CString CTlsChannel::CertificateRefusal() const
{
    const long verified = SSL_get_verify_result(m_engine->connection.get());
    return verified == X509_V_OK ? CString() : CString(X509_verify_cert_error_string(verified));
}

CString CTlsChannel::Summary() const
{
    SSL *connection = m_engine->connection.get();
    char subject[256] = "(none)";
    if (X509 *certificate = SSL_get0_peer_certificate(connection))
        X509_NAME_oneline(X509_get_subject_name(certificate), subject, sizeof subject);
    return CString::Formatted("%s, %s, subject %s", SSL_get_version(connection), SSL_get_cipher_name(connection),
                              subject);
}
