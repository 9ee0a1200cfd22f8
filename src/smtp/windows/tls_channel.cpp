#include "smtp/tls_channel.h"

#include "platform/last_error.h"

// This build has no TLS yet: every channel refuses before it sends a byte.
// Its context and connection are never made, so their deleters never run.

bool TlsAvailable() { return false; }

void CTlsChannel::ContextFree::operator()(ssl_ctx_st *) const {}

void CTlsChannel::ConnectionFree::operator()(ssl_st *) const {}

bool CTlsChannel::Prepare(const TlsPeer &peer)
{
    m_host = peer.host;
    return FailPreparing(TLS_UNAVAILABLE_TEXT);
}

IoAttempt CTlsChannel::Handshake() { return Outcome(0); }

IoAttempt CTlsChannel::Write(std::span<const std::string_view>) { return Outcome(0); }

IoAttempt CTlsChannel::Write(const char *, std::size_t) { return Outcome(0); }

IoAttempt CTlsChannel::Read(char *, std::size_t) { return Outcome(0); }

IoAttempt CTlsChannel::Outcome(int)
{
    SetLastError(WSAEPROTONOSUPPORT);
    return IoAttempt::Is(IoAttempt::Kind::Failed);
}

bool CTlsChannel::HasPendingInput() const { return false; }

void CTlsChannel::Shutdown() {}

CString CTlsChannel::Failure(DWORD) const { return m_prepareText; }

CString CTlsChannel::Summary() const { return CString(); }
