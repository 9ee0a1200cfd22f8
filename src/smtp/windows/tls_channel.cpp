// The channel over Schannel. The socket is read and written only through
// the SocketCalls table and never waited on here: bytes to send wait in
// `outgoing` and received ones in `incoming` until the socket takes or
// gives more, and each call says which wait it needs. The certificate is
// checked here after the handshake (tls_certificate.h).
#include "smtp/tls_channel.h"

#include "platform/last_error.h"
#include "smtp/socket_address.h"
#include "smtp/system_sockets.h"
#include "smtp/windows/tls_certificate.h"

#include <schannel.h>
#include <security.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <utility>

namespace {

using Kind = IoAttempt::Kind;

constexpr ULONG CONTEXT_REQUEST = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                                  ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM;
constexpr std::size_t RECORD_HEADER_BYTES = 5;

bool Transient(int error) { return SocketWouldBlock(error) || error == SOCKET_INTERRUPTED; }

// Schannel's status in words, as the system says it.
CString StatusReason(SECURITY_STATUS status)
{
    char text[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        static_cast<DWORD>(status), 0, text, sizeof text, nullptr);
    CString reason = length ? CString(text) : CString::Formatted("SSPI error 0x%08lX", static_cast<unsigned long>(status));
    reason.TrimRight();
    return reason;
}

// The whole TLS record at the front of `bytes` has arrived.
bool HoldsWholeRecord(const std::string &bytes)
{
    if (bytes.size() < RECORD_HEADER_BYTES)
        return false;
    const std::size_t length = (static_cast<unsigned char>(bytes[3]) << 8) | static_cast<unsigned char>(bytes[4]);
    return bytes.size() >= RECORD_HEADER_BYTES + length;
}

const char *ProtocolName(DWORD protocol)
{
    if (protocol & SP_PROT_TLS1_3_CLIENT)
        return "TLSv1.3";
    if (protocol & SP_PROT_TLS1_2_CLIENT)
        return "TLSv1.2";
    return "TLS";
}

CString SubjectOf(PCCERT_CONTEXT certificate)
{
    char subject[256] = "(none)";
    if (certificate)
        CertNameToStrA(X509_ASN_ENCODING, &certificate->pCertInfo->Subject,
                       CERT_X500_NAME_STR | CERT_NAME_STR_REVERSE_FLAG | CERT_NAME_STR_SEMICOLON_FLAG, subject,
                       sizeof subject);
    std::string slashed = "/";
    for (const std::string_view rest(subject); const char c : rest)
        if (c != ' ' || slashed.back() != '/')
            slashed += c == ';' ? '/' : c;
    return CString(slashed.c_str());
}

}  // namespace

struct CTlsChannel::Engine {
    CredHandle credentials{};
    CtxtHandle context{};
    bool haveCredentials = false;
    bool haveContext = false;
    bool established = false;  // the handshake is done, the certificate not yet checked
    bool peerClosed = false;   // the server's closing alert has come
    std::wstring targetName;   // the SNI; empty for an IP address
    CertificateStore trusted;  // TlsCaFile's certificates, or null
    SecPkgContext_StreamSizes sizes{};
    std::string incoming;            // received, not yet decrypted
    std::string plain;               // decrypted, not yet read
    std::string outgoing;            // to send: handshake tokens or a record
    std::size_t outgoingPlain = 0;   // the plain bytes `outgoing`'s record carries
    CString refusal;                 // why the certificate was refused

    ~Engine()
    {
        if (haveContext)
            DeleteSecurityContext(&context);
        if (haveCredentials)
            FreeCredentialsHandle(&credentials);
    }

    bool AcquireCredentials();
    // After the handshake: the certificate, checked for the channel's host.
    IoAttempt CheckPeer(CTlsChannel &channel);
    // Ends the channel with the library's `reason` (empty: the refusal).
    IoAttempt Fail(CTlsChannel &channel, const CString &reason);
    // One call of InitializeSecurityContext with what has arrived; the
    // tokens it makes go to `outgoing`.
    SECURITY_STATUS Step();
    // Sends what waits in `outgoing`: Moved once all of it has gone.
    IoAttempt Flush(const Target &target);
    // Adds what the socket has to `incoming`: Moved when bytes came.
    IoAttempt Receive(const Target &target);
    // Decrypts the records that have arrived into `plain`.
    SECURITY_STATUS Decrypt();
    void KeepUnused(const SecBuffer &extra, std::size_t used);
};

bool CTlsChannel::Engine::AcquireCredentials()
{
    SCHANNEL_CRED credential{};
    credential.dwVersion = SCHANNEL_CRED_VERSION;
    credential.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT;
    credential.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;
    wchar_t package[] = UNISP_NAME_W;
    haveCredentials = AcquireCredentialsHandleW(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, &credential, nullptr,
                                                nullptr, &credentials, nullptr) == SEC_E_OK;
    return haveCredentials;
}

SECURITY_STATUS CTlsChannel::Engine::Step()
{
    SecBuffer input[2] = {{static_cast<ULONG>(incoming.size()), SECBUFFER_TOKEN, incoming.data()},
                          {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc inputs{SECBUFFER_VERSION, 2, input};
    SecBuffer output{0, SECBUFFER_TOKEN, nullptr};
    SecBufferDesc outputs{SECBUFFER_VERSION, 1, &output};
    ULONG granted = 0;
    const SECURITY_STATUS status = InitializeSecurityContextW(
        &credentials, haveContext ? &context : nullptr, targetName.empty() ? nullptr : targetName.data(),
        CONTEXT_REQUEST, 0, 0, haveContext ? &inputs : nullptr, 0, &context, &outputs, &granted, nullptr);
    haveContext = haveContext || status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED;
    if (output.pvBuffer) {
        outgoing.append(static_cast<const char *>(output.pvBuffer), output.cbBuffer);
        FreeContextBuffer(output.pvBuffer);
    }
    if (status != SEC_E_INCOMPLETE_MESSAGE)
        KeepUnused(input[1], incoming.size());
    return status;
}

// What Schannel did not use of `incoming` (the front `used` bytes of it
// were given) stays there for the next call.
void CTlsChannel::Engine::KeepUnused(const SecBuffer &extra, std::size_t used)
{
    const std::size_t left = extra.BufferType == SECBUFFER_EXTRA ? std::min<std::size_t>(extra.cbBuffer, used) : 0;
    incoming.erase(0, used - left);
}

IoAttempt CTlsChannel::Engine::Flush(const Target &target)
{
    while (!outgoing.empty()) {
        const std::string_view piece(outgoing);
        const long sent = target.calls->send(target.socket, std::span(&piece, 1));
        if (sent < 0 && Transient(errno))
            return IoAttempt::Is(errno == SOCKET_INTERRUPTED ? Kind::Retry : Kind::WaitWrite);
        if (sent < 0) {
            SetLastError(static_cast<DWORD>(errno));
            return IoAttempt::Is(Kind::Failed);
        }
        outgoing.erase(0, static_cast<std::size_t>(sent));
    }
    return IoAttempt::Moved(0);
}

IoAttempt CTlsChannel::Engine::Receive(const Target &target)
{
    char buffer[16 * 1024 + 512];
    const long received = target.calls->receive(target.socket, buffer, sizeof buffer);
    if (received > 0) {
        incoming.append(buffer, static_cast<std::size_t>(received));
        return IoAttempt::Moved(static_cast<std::size_t>(received));
    }
    if (received == 0)
        return IoAttempt::Is(Kind::Closed);
    if (Transient(errno))
        return IoAttempt::Is(errno == SOCKET_INTERRUPTED ? Kind::Retry : Kind::WaitRead);
    SetLastError(static_cast<DWORD>(errno));
    return IoAttempt::Is(Kind::Failed);
}

SECURITY_STATUS CTlsChannel::Engine::Decrypt()
{
    SECURITY_STATUS status = SEC_E_OK;
    while (status == SEC_E_OK && HoldsWholeRecord(incoming)) {
        SecBuffer buffers[4] = {{static_cast<ULONG>(incoming.size()), SECBUFFER_DATA, incoming.data()},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc message{SECBUFFER_VERSION, 4, buffers};
        const std::size_t used = incoming.size();
        status = DecryptMessage(&context, &message, 0, nullptr);
        if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE && status != SEC_I_CONTEXT_EXPIRED)
            return status;
        const SecBuffer *extra = nullptr;
        for (const SecBuffer &buffer : buffers) {
            if (buffer.BufferType == SECBUFFER_DATA && status == SEC_E_OK)
                plain.append(static_cast<const char *>(buffer.pvBuffer), buffer.cbBuffer);
            if (buffer.BufferType == SECBUFFER_EXTRA)
                extra = &buffer;
        }
        KeepUnused(extra ? *extra : buffers[1], used);
        peerClosed = status == SEC_I_CONTEXT_EXPIRED;
        // A message after the handshake (a TLS 1.3 ticket, a key update)
        // goes back to the handshake's call.
        if (status == SEC_I_RENEGOTIATE)
            status = Step();
    }
    return status;
}

CTlsChannel::CTlsChannel(const SocketCalls &calls, SocketHandle socket)
    : m_target{&calls, socket}, m_engine(std::make_unique<Engine>())
{
}

CTlsChannel::~CTlsChannel() = default;

bool CTlsChannel::Prepare(const TlsPeer &peer)
{
    m_host = peer.host;
    CString unreadable;
    if (!peer.caFile.IsEmpty() && !(m_engine->trusted = ReadTrustedCertificates(peer.caFile, unreadable)))
        return FailPreparing(CString::Formatted(TLS_CA_FILE_TEXT, peer.caFile.GetString(), unreadable.GetString()));
    if (!m_engine->AcquireCredentials())
        return FailPreparing(CString::Formatted(TLS_HANDSHAKE_FAILED_TEXT, m_host.GetString(), "cannot set up TLS"));
    SocketAddress literal;
    if (!ParseAddressLiteral(m_host.GetString(), 0, literal))
        m_engine->targetName.assign(m_host.GetString(), m_host.GetString() + m_host.GetLength());
    return true;
}

IoAttempt CTlsChannel::Handshake()
{
    Engine &engine = *m_engine;
    for (;;) {
        const IoAttempt flushed = engine.Flush(m_target);
        if (flushed.kind != Kind::Moved)
            return flushed;
        if (engine.established)
            return engine.CheckPeer(*this);
        const bool waiting = engine.haveContext && engine.incoming.empty();
        const SECURITY_STATUS status = waiting ? SEC_E_INCOMPLETE_MESSAGE : engine.Step();
        if (status == SEC_E_OK) {
            engine.established = true;
        } else if (status == SEC_E_INCOMPLETE_MESSAGE) {
            const IoAttempt received = engine.Receive(m_target);
            if (received.kind != Kind::Moved)
                return received;
        } else if (status != SEC_I_CONTINUE_NEEDED) {
            return engine.Fail(*this, StatusReason(status));
        }
    }
}

IoAttempt CTlsChannel::Engine::CheckPeer(CTlsChannel &channel)
{
    PCCERT_CONTEXT remote = nullptr;
    if (QueryContextAttributesW(&context, SECPKG_ATTR_STREAM_SIZES, &sizes) != SEC_E_OK ||
        QueryContextAttributesW(&context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &remote) != SEC_E_OK)
        return Fail(channel, "the server's certificate cannot be read");
    const Certificate certificate(remote);
    refusal = ::CertificateRefusal(certificate.get(), trusted.get(), channel.m_host);
    return refusal.IsEmpty() ? IoAttempt::Moved(0) : Fail(channel, CString());
}

IoAttempt CTlsChannel::Engine::Fail(CTlsChannel &channel, const CString &reason)
{
    channel.m_failed = true;
    channel.m_reason = reason;
    SetLastError(WSAECONNABORTED);
    return IoAttempt::Is(Kind::Failed);
}

// A record that the socket did not take at once is finished before
// anything else is written; the caller retries with the same bytes, which
// it then learns have gone.
IoAttempt CTlsChannel::Write(const char *data, std::size_t length)
{
    Engine &engine = *m_engine;
    if (engine.outgoing.empty() && length > 0) {
        const std::size_t taken = std::min<std::size_t>(length, engine.sizes.cbMaximumMessage);
        std::string record(engine.sizes.cbHeader + taken + engine.sizes.cbTrailer, '\0');
        std::copy_n(data, taken, record.begin() + engine.sizes.cbHeader);
        char *at = record.data();
        SecBuffer buffers[4] = {{engine.sizes.cbHeader, SECBUFFER_STREAM_HEADER, at},
                                {static_cast<ULONG>(taken), SECBUFFER_DATA, at + engine.sizes.cbHeader},
                                {engine.sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, at + engine.sizes.cbHeader + taken},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc message{SECBUFFER_VERSION, 4, buffers};
        const SECURITY_STATUS status = EncryptMessage(&engine.context, 0, &message, 0);
        if (status != SEC_E_OK)
            return engine.Fail(*this, StatusReason(status));
        record.resize(buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
        engine.outgoing = std::move(record);
        engine.outgoingPlain = taken;
    }
    const IoAttempt flushed = engine.Flush(m_target);
    if (flushed.kind != Kind::Moved)
        return flushed;
    return IoAttempt::Moved(std::exchange(engine.outgoingPlain, 0));
}

IoAttempt CTlsChannel::Read(char *buffer, std::size_t capacity)
{
    Engine &engine = *m_engine;
    for (;;) {
        if (!engine.plain.empty() || capacity == 0) {
            const std::size_t count = std::min(capacity, engine.plain.size());
            std::copy_n(engine.plain.begin(), count, buffer);
            engine.plain.erase(0, count);
            return IoAttempt::Moved(count);
        }
        if (engine.peerClosed)
            return IoAttempt::Is(Kind::Closed);
        const IoAttempt flushed = engine.Flush(m_target);
        if (flushed.kind != Kind::Moved)
            return flushed;
        const SECURITY_STATUS status = engine.Decrypt();
        if (status != SEC_E_OK && status != SEC_I_CONTEXT_EXPIRED && status != SEC_I_CONTINUE_NEEDED)
            return engine.Fail(*this, StatusReason(status));
        if (engine.plain.empty() && !engine.peerClosed && engine.outgoing.empty()) {
            const IoAttempt received = engine.Receive(m_target);
            if (received.kind != Kind::Moved)
                return received;
        }
    }
}

bool CTlsChannel::HasPendingInput() const
{
    return !m_engine->plain.empty() || m_engine->peerClosed || HoldsWholeRecord(m_engine->incoming);
}

// The closing alert goes out in one attempt; a socket that cannot take it
// at once does not get it, nor does one in the middle of a record.
void CTlsChannel::Shutdown()
{
    Engine &engine = *m_engine;
    if (engine.established && !m_failed && engine.outgoing.empty()) {
        DWORD type = SCHANNEL_SHUTDOWN;
        SecBuffer token{sizeof type, SECBUFFER_TOKEN, &type};
        SecBufferDesc tokens{SECBUFFER_VERSION, 1, &token};
        engine.incoming.clear();
        if (ApplyControlToken(&engine.context, &tokens) == SEC_E_OK) {
            engine.Step();
            engine.Flush(m_target);
        }
    }
    m_failed = true;
}

CString CTlsChannel::CertificateRefusal() const { return m_engine->refusal; }

CString CTlsChannel::Summary() const
{
    Engine &engine = *m_engine;
    SecPkgContext_ConnectionInfo connection{};
    SecPkgContext_CipherInfo cipher{};
    cipher.dwVersion = SECPKGCONTEXT_CIPHERINFO_V1;
    PCCERT_CONTEXT remote = nullptr;
    QueryContextAttributesW(&engine.context, SECPKG_ATTR_CONNECTION_INFO, &connection);
    const bool named = QueryContextAttributesW(&engine.context, SECPKG_ATTR_CIPHER_INFO, &cipher) == SEC_E_OK;
    QueryContextAttributesW(&engine.context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &remote);
    const Certificate certificate(remote);
    const std::wstring suite = named ? std::wstring(cipher.szCipherSuite) : std::wstring();
    const CString cipherName = named ? CString(std::string(suite.begin(), suite.end()).c_str())
                                     : CString::Formatted("cipher 0x%04X", static_cast<unsigned>(connection.aiCipher));
    return CString::Formatted("%s, %s, subject %s", ProtocolName(connection.dwProtocol), cipherName.GetString(),
                              SubjectOf(certificate.get()).GetString());
}
