// CSmtpSession: the client side of one SMTP conversation with one server:
// greeting and HELO, one mail transaction, QUIT. The delivery path creates
// one per message on the sending thread, and only that thread uses it.
#pragma once

#include "compose/mail_address.h"
#include "compose/mail_message.h"
#include "platform/cstring.h"
#include "platform/event.h"
#include "platform/ticks.h"
#include "platform/win_types.h"
#include "smtp/client_socket.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class CReplyBuffer;

// The session's own words for failures that have no reply of the server.
constexpr const char *SMTP_ABORTED_TEXT = "Aborted";
constexpr const char *SMTP_BAD_ADDRESS_TEXT = "Invalid character (CR, LF or NUL) in mail address";
constexpr const char *SMTP_REPLY_TOO_LONG_TEXT = "Reply longer than 65536 bytes";
// A format taking the last error (%d).
constexpr const char *SMTP_CONNECTION_LOST_TEXT = "Connection to the SMTP server lost, GetLastError returns: %d";

class CSmtpSession {
public:
    static constexpr DWORD REPLY_TIMEOUT = 2000;
    static constexpr DWORD REPLY_POLL_INTERVAL = 250;
    static constexpr int REPLY_BUFFER_SIZE = 256;  // on the stack: short replies need no heap
    static constexpr int REPLY_GROWTH_STEP = 4096;
    static constexpr int MAX_REPLY_LENGTH = 65536;

    CSmtpSession() = default;
    virtual ~CSmtpSession();
    CSmtpSession(const CSmtpSession &) = delete;
    CSmtpSession &operator=(const CSmtpSession &) = delete;

    // Connects, reads the 220 greeting and says HELO. FALSE with
    // GetErrorText() set otherwise; after a TCP connection, QUIT is sent.
    BOOL Connect(const char *host, int port);
    // QUIT and close. TRUE only when the server answered 221; on failure the
    // last error is ERROR_BAD_COMMAND (WSAEINTR on abort). FALSE when not
    // connected.
    BOOL Disconnect();
    // The Connect failure text when there is one, else the text of the
    // session's first failure: the server's reply, or the session's own words
    // when there was none (an abort, a lost connection ...).
    CString GetErrorText() const;

    // One mail transaction: MAIL FROM, RCPT TO for To, Cc and Bcc, DATA, the
    // content, the end of data. TRUE when the server accepted the end of data.
    // A refused command gives ERROR_BAD_COMMAND and the server's reply text;
    // an address holding CR, LF or NUL is refused before it is sent, with
    // ERROR_INVALID_DATA.
    BOOL SendMail(const CMailMessage &message);
    // RCPT TO for one address; TRUE only for a 250 reply.
    BOOL AddRecipient(const CMailAddress &address);

    // Reads one reply; TRUE when it carries exactly `expected`.
    virtual BOOL ExpectReply(int expected);
    // Reads one reply into `buffer`, or into buffers grown by `step` and kept
    // in `grown`. Bytes after the reply stay for the next read. FALSE with
    // the last error: WSAEPROTONOSUPPORT for another code, WSAETIMEDOUT after
    // m_replyTimeout ms of silence, WSAECONNRESET when the server closed,
    // WSAEMSGSIZE past MAX_REPLY_LENGTH bytes, WSAEINTR on abort, or the
    // system's error.
    virtual BOOL ReadReply(char *buffer, int capacity, const char *terminator, int expected,
                           std::unique_ptr<char[]> &grown, int step);

    // Every wait of the session ends at once, failing with WSAEINTR and the
    // text SMTP_ABORTED_TEXT, while `abort` is signalled. Never reset here.
    void SetAbortEvent(const CEvent *abort) { m_connection.SetAbortEvent(abort); }

    // The server's text of the last reply that failed a read: a reply with
    // another code, or what had arrived when the read failed.
    const CString &GetLastReply() const { return m_lastReply; }
    BOOL IsConnected() const { return m_connected; }
    CClientSocket &Socket() { return m_connection; }

    DWORD m_replyTimeout = REPLY_TIMEOUT;
    int m_replyCode = 0;  // code of the last complete reply; 0 when it had none

private:

    BOOL AbandonConnect(const char *text);
    BOOL Transmit(const char *data, int length);
    BOOL Transmit(const CString &text) { return Transmit(text.GetString(), text.GetLength()); }
    BOOL Command(const CString &command, int expected);
    BOOL CheckAddress(const CString &address);
    BOOL SendEnvelope(const CMailMessage &message);
    BOOL SendContent(const CMailMessage &message);
    std::optional<DWORD> ReceiveMore(CReplyBuffer &reply, CTickBound &silence);
    BOOL FinishReply(std::string_view reply, const char *terminator, int expected);
    BOOL FailRead(DWORD error, std::string_view partial);
    // Both set the last error to `code` and return FALSE; the first failure
    // of the session keeps its text.
    BOOL Fail(const CString &text, DWORD code);
    BOOL FailWithReply(const CString &reply, DWORD code);

    CClientSocket m_connection;
    BOOL m_connected = FALSE;
    CString m_lastReply;    // the server's words only
    CString m_errorText;    // Connect's own failure texts
    CString m_failureText;  // what explains the first failure after Connect
    bool m_failed = false;  // an operation of this session has failed
    std::string m_pending;  // bytes received after the end of the last reply
};
