// What both TLS channels share: how small pieces are gathered into one
// record, how a failure to prepare is kept, and the texts of a failure.
#include "smtp/tls_channel.h"

#include "smtp/send_pieces.h"
#include "smtp/system_sockets.h"

namespace {

// Why the handshake ended when the library itself saw nothing wrong.
CString WaitReason(DWORD lastError)
{
    switch (lastError) {
    case WSAETIMEDOUT: return "no answer in time";
    case WSAECONNRESET: return "the server closed the connection";
    default: return CString::Formatted("GetLastError returns: %d", static_cast<int>(lastError));
    }
}

}  // namespace

bool CTlsChannel::FailPreparing(const CString &text)
{
    m_prepareText = text;
    m_failed = true;
    return false;
}

IoAttempt CTlsChannel::Write(std::span<const std::string_view> pieces)
{
    const std::string_view front = pieces.empty() ? std::string_view() : pieces.front();
    if (front.size() >= TLS_RECORD_BYTES || front.size() == TotalSize(pieces))
        return Write(front.data(), front.size());
    m_staged.clear();
    AppendFront(pieces, TLS_RECORD_BYTES, m_staged);
    return Write(m_staged.data(), m_staged.size());
}

CString CTlsChannel::Failure(DWORD lastError) const
{
    if (!m_prepareText.IsEmpty())
        return m_prepareText;
    const CString refusal = CertificateRefusal();
    if (!refusal.IsEmpty())
        return CString::Formatted(TLS_CERTIFICATE_REFUSED_TEXT, m_host.GetString(), refusal.GetString());
    const CString reason = m_reason.IsEmpty() ? WaitReason(lastError) : m_reason;
    return CString::Formatted(TLS_HANDSHAKE_FAILED_TEXT, m_host.GetString(), reason.GetString());
}
