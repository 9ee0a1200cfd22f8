#include "smtp/tls_channel.h"

#include "platform/last_error.h"
#include "smtp/send_pieces.h"
#include "smtp/socket_address.h"
#include "smtp/system_sockets.h"
#include "smtp/trust_store.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cerrno>

namespace {

// The most plain text one record carries.
constexpr std::size_t RECORD_BYTES = SSL3_RT_MAX_PLAIN_LENGTH;

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

CString WaitReason(DWORD lastError)
{
    switch (lastError) {
    case WSAETIMEDOUT: return "no answer in time";
    case WSAECONNRESET: return "the server closed the connection";
    default: return CString::Formatted("GetLastError returns: %d", static_cast<int>(lastError));
    }
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

}  // namespace

void CTlsChannel::ContextFree::operator()(ssl_ctx_st *context) const { SSL_CTX_free(context); }

void CTlsChannel::ConnectionFree::operator()(ssl_st *connection) const { SSL_free(connection); }

bool TlsAvailable() { return true; }

bool CTlsChannel::Prepare(const TlsPeer &peer)
{
    m_host = peer.host;
    ERR_clear_error();
    const CString broken = CString::Formatted(TLS_HANDSHAKE_FAILED_TEXT, m_host.GetString(), "cannot set up TLS");
    m_context.reset(SSL_CTX_new(TLS_client_method()));
    SSL_CTX *context = m_context.get();
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
    m_connection.reset(SSL_new(context));
    BIO *bio = BIO_new(SocketBioMethod());
    if (!m_connection || !bio || !NamePeer(m_connection.get(), m_host)) {
        BIO_free(bio);
        return FailPreparing(broken);
    }
    BIO_set_data(bio, &m_target);
    BIO_set_init(bio, 1);
    SSL_set_bio(m_connection.get(), bio, bio);
    SSL_set_mode(m_connection.get(), SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    // A reply is framed by its line ends, so a close without the closing
    // alert cannot pass a cut reply off as whole.
    SSL_set_options(m_connection.get(), SSL_OP_IGNORE_UNEXPECTED_EOF);
    return true;
}

IoAttempt CTlsChannel::Handshake()
{
    ERR_clear_error();
    const int result = SSL_connect(m_connection.get());
    return result == 1 ? IoAttempt::Moved(0) : Outcome(result);
}

IoAttempt CTlsChannel::Write(std::span<const std::string_view> pieces)
{
    const std::string_view front = pieces.empty() ? std::string_view() : pieces.front();
    if (front.size() >= RECORD_BYTES || front.size() == TotalSize(pieces))
        return Write(front.data(), front.size());
    m_staged.clear();
    AppendFront(pieces, RECORD_BYTES, m_staged);
    return Write(m_staged.data(), m_staged.size());
}

IoAttempt CTlsChannel::Write(const char *data, std::size_t length)
{
    if (length == 0)
        return IoAttempt::Moved(0);
    ERR_clear_error();
    std::size_t written = 0;
    const int result = SSL_write_ex(m_connection.get(), data, length, &written);
    return result == 1 ? IoAttempt::Moved(written) : Outcome(result);
}

IoAttempt CTlsChannel::Read(char *buffer, std::size_t capacity)
{
    ERR_clear_error();
    std::size_t received = 0;
    const int result = SSL_read_ex(m_connection.get(), buffer, capacity, &received);
    return result == 1 ? IoAttempt::Moved(received) : Outcome(result);
}

// What a failed call of the library needs next; a failure keeps its reason
// and sets the last error.
IoAttempt CTlsChannel::Outcome(int result)
{
    using Kind = IoAttempt::Kind;
    const int error = SSL_get_error(m_connection.get(), result);
    if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE)
        return IoAttempt::Is(error == SSL_ERROR_WANT_READ ? Kind::WaitRead : Kind::WaitWrite);
    m_failed = true;
    const int system = errno;
    if (error == SSL_ERROR_ZERO_RETURN || (error == SSL_ERROR_SYSCALL && system == 0))
        return IoAttempt::Is(Kind::Closed);
    if (error == SSL_ERROR_SYSCALL) {
        SetLastError(static_cast<DWORD>(system));
        return IoAttempt::Is(Kind::Failed);
    }
    m_reason = LibraryReason();
    SetLastError(WSAECONNABORTED);
    return IoAttempt::Is(Kind::Failed);
}

bool CTlsChannel::HasPendingInput() const { return m_connection && SSL_pending(m_connection.get()) > 0; }

void CTlsChannel::Shutdown()
{
    if (m_connection && !m_failed && SSL_is_init_finished(m_connection.get()))
        SSL_shutdown(m_connection.get());
    m_failed = true;
}

CString CTlsChannel::Failure(DWORD lastError) const
{
    if (!m_prepareText.IsEmpty())
        return m_prepareText;
    const long verified = SSL_get_verify_result(m_connection.get());
    if (verified != X509_V_OK)
        return CString::Formatted(TLS_CERTIFICATE_REFUSED_TEXT, m_host.GetString(),
                                  X509_verify_cert_error_string(verified));
    const CString reason = m_reason.IsEmpty() ? WaitReason(lastError) : m_reason;
    return CString::Formatted(TLS_HANDSHAKE_FAILED_TEXT, m_host.GetString(), reason.GetString());
}

CString CTlsChannel::Summary() const
{
    SSL *connection = m_connection.get();
    char subject[256] = "(none)";
    if (X509 *certificate = SSL_get0_peer_certificate(connection))
        X509_NAME_oneline(X509_get_subject_name(certificate), subject, sizeof subject);
    return CString::Formatted("%s, %s, subject %s", SSL_get_version(connection), SSL_get_cipher_name(connection),
                              subject);
}
