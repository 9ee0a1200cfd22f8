// What both TLS channels share: the socket beneath, and how a failure to
// prepare is kept.
#include "smtp/tls_channel.h"

CTlsChannel::CTlsChannel(const SocketCalls &calls, SocketHandle socket) : m_target{&calls, socket} {}

CTlsChannel::~CTlsChannel() = default;

bool CTlsChannel::FailPreparing(const CString &text)
{
    m_prepareText = text;
    m_failed = true;
    return false;
}
