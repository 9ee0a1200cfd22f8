// CClientSocket: one TCP client connection, IPv4 or IPv6, plain or with TLS
// on it (StartTls). The SMTP session owns it by value and only the
// session's thread uses it. The socket is non-blocking underneath: connect,
// the TLS handshake and a full send buffer are waited for on the socket
// together with the abort event, never in blind sleeps.
#pragma once

#include "platform/cstring.h"
#include "platform/event.h"
#include "platform/ticks.h"
#include "platform/win_types.h"
#include "smtp/io_attempt.h"
#include "smtp/reply_deadline.h"
#include "smtp/socket_calls.h"
#include "smtp/tls_channel.h"

#include <memory>
#include <span>
#include <string_view>

class CClientSocket {
public:
    static constexpr DWORD CONNECT_TIMEOUT = 21000;
    static constexpr DWORD SEND_TIMEOUT = 60000;
    // Receive's result when nothing has arrived yet.
    static constexpr int RECEIVE_NOTHING = -2;

    CClientSocket() = default;
    ~CClientSocket();
    CClientSocket(const CClientSocket &) = delete;
    CClientSocket &operator=(const CClientSocket &) = delete;

    // 1 when an IPv4 socket was made, else 0 with the last error; closes an
    // earlier socket first. Connect makes the sockets its addresses need.
    int Create();
    // Dotted IPv4 and IPv6 texts are used as they are; anything else is
    // looked up as a name (name_lookup.h) and its addresses are tried in
    // turn, the look-up and every attempt within m_connectTimeout ms in
    // all. 0 on failure with the last error: WSAEINVAL when the name does
    // not resolve, WSAEINTR on abort, else the last attempt's error.
    int Connect(const char *host, unsigned short port);
    // Writes every byte of the pieces in turn, gathered into as few writes
    // as the system takes, continuing after partial and interrupted writes;
    // through TLS once it is up. 0 on failure: the
    // system's error, WSAETIMEDOUT when the peer takes nothing for
    // m_sendTimeout ms, WSAEINTR on abort, WSAECONNRESET when it closed.
    int Send(std::span<const std::string_view> pieces);
    // One receive: the byte count, 0 when the peer has closed, -1 with the
    // last error on failure, RECEIVE_NOTHING when no data is there yet.
    int Receive(char *buffer, int capacity);
    // TLS on the connection from now on: the handshake within `bounds`,
    // the certificate verified for `peer`. 0 on failure with the last
    // error (WSAEINTR on abort) and the text of why in `failure`; the
    // connection is then unusable.
    int StartTls(const TlsPeer &peer, ReplyBounds bounds, CString &failure);
    bool IsSecure() const { return m_tls != nullptr; }
    // Protocol, cipher and certificate subject of the TLS in use.
    CString TlsSummary() const { return m_tls ? m_tls->Summary() : CString(); }
    // -1 when there was no socket, else close's result.
    int Close();
    // Waits up to `timeout` ms for data, end of stream or the abort event
    // (unless `watchAbort` is false); at once when TLS holds decrypted
    // bytes that no wait would announce.
    SocketWait IsReadable(DWORD timeout, bool watchAbort = true) const;

    // The event is only tested, never reset; null for none.
    void SetAbortEvent(const CEvent *abort) { m_abort = abort; }

    // This machine's host name (through the current SocketCalls), or
    // "localhost" without one.
    static CString GetLocalHostName();
    // The local end of the connection as an address literal ("[192.0.2.7]").
    CString GetLocalAddressLiteral() const;

    DWORD m_connectTimeout = CONNECT_TIMEOUT;
    DWORD m_sendTimeout = SEND_TIMEOUT;

private:
    int Open(int family);
    int ConnectAny(const SocketAddresses &addresses, const CTickBound &bound);
    // 0 on failure; the last error is the system's, WSAETIMEDOUT after
    // `timeout` ms, or WSAEINTR when the abort event is signalled.
    int ConnectAddress(const void *address, int length, DWORD timeout);
    IoAttempt WriteSome(std::span<const std::string_view> pieces);
    IoAttempt ReadSome(char *buffer, std::size_t capacity);
    // Waits what `attempt` needs within `left` ms; false with the last error.
    bool WaitFor(const IoAttempt &attempt, DWORD left) const;

    SocketHandle m_socket = NO_SOCKET;
    int m_family = 0;      // of m_socket
    bool m_tried = false;  // m_socket has had a connect attempt
    const SocketCalls *m_calls = &SystemSocketCalls();
    const CEvent *m_abort = nullptr;
    std::unique_ptr<CTlsChannel> m_tls;  // TLS on m_socket once StartTls succeeded
    bool m_readWantsWrite = false;       // TLS must write before it can read on
};
