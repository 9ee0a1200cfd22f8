// CSmtpSession: the client side of one SMTP conversation with one server:
// greeting and HELO, one mail transaction, QUIT. The delivery path creates
// one per message on the sending thread, and only that thread uses it.
#pragma once

#include "compose/envelope_address.h"
#include "compose/mail_address.h"
#include "compose/mail_message.h"
#include "platform/cstring.h"
#include "platform/event.h"
#include "platform/ticks.h"
#include "platform/win_types.h"
#include "smtp/client_socket.h"
#include "smtp/reply_deadline.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class CReplyBuffer;

// The session's own words for failures that have no reply of the server.
constexpr const char *SMTP_ABORTED_TEXT = "Aborted";
constexpr const char *SMTP_BAD_ADDRESS_TEXT = ADDRESS_LINE_BREAK_TEXT;
constexpr const char *SMTP_REPLY_TOO_LONG_TEXT = "Reply longer than 65536 bytes";
// Formats taking the last error (%d), the bound in seconds (%d).
constexpr const char *SMTP_CONNECTION_LOST_TEXT = "Connection to the SMTP server lost, GetLastError returns: %d";
constexpr const char *SMTP_NO_REPLY_TEXT = "No reply from the SMTP server within %d seconds";
// Followed by the reply.
constexpr const char *SMTP_MALFORMED_REPLY_TEXT = "The SMTP server sent a malformed reply: ";

class CSmtpSession {
public:
    // Silence allowed in a reply, and the whole time a reply may take from
    // its command (the greeting: from the connection).
    static constexpr DWORD REPLY_TIMEOUT = 2000;
    static constexpr DWORD REPLY_LIMIT = 30000;
    // The reply to the end of data: RFC 5321 4.5.3.2.6 gives the server ten
    // minutes to take the message (content filters, busy queues).
    static constexpr DWORD DATA_END_TIMEOUT = 600000;
    static constexpr DWORD REPLY_POLL_INTERVAL = 250;
    static constexpr int REPLY_BUFFER_SIZE = 256;  // on the stack: short replies need no heap
    static constexpr int REPLY_GROWTH_STEP = 4096;
    static constexpr int MAX_REPLY_LENGTH = 65536;

    CSmtpSession() = default;
    virtual ~CSmtpSession();
    CSmtpSession(const CSmtpSession &) = delete;
    CSmtpSession &operator=(const CSmtpSession &) = delete;

    // Connects, reads the 220 greeting and says HELO (HeloName of this
    // machine). FALSE with GetErrorText() set otherwise; after a TCP
    // connection, QUIT is sent.
    BOOL Connect(const char *host, int port);
    // QUIT and close. TRUE only when the server answered 221; on failure the
    // last error is ERROR_BAD_COMMAND (WSAEINTR on abort). FALSE when not
    // connected.
    BOOL Disconnect();
    // The Connect failure text when there is one, else the text of the
    // session's first failure: the server's reply, or the session's own words
    // when there was none (an abort, a lost connection ...).
    CString GetErrorText() const;

    // One mail transaction: MAIL FROM (the EnvelopeSender of m_from), RCPT
    // TO for To, Cc and Bcc, DATA, the content, the end of data. TRUE when
    // the server accepted the end of data. A refused command gives
    // ERROR_BAD_COMMAND and the server's reply text. Before anything is
    // sent, a message without recipients or with an envelope address that
    // EnvelopeAddressProblem refuses fails with ERROR_INVALID_DATA.
    BOOL SendMail(const CMailMessage &message);
    // RCPT TO for one address; TRUE only for a 250 reply.
    BOOL AddRecipient(const CMailAddress &address);

    // Reads one reply within the command bounds; TRUE when it carries
    // exactly `expected`.
    virtual BOOL ExpectReply(int expected);
    BOOL ExpectReplyWithin(int expected, ReplyBounds bounds);
    // Reads one reply into `buffer`, or into buffers grown by `step` and kept
    // in `grown`. Bytes after the reply stay for the next read. FALSE with
    // the last error: WSAEPROTONOSUPPORT for another code or a malformed
    // reply (lines without a code or with different codes), WSAETIMEDOUT
    // when a bound ran out, WSAECONNRESET when the server closed,
    // WSAEMSGSIZE past MAX_REPLY_LENGTH bytes, WSAEINTR on abort, or the
    // system's error.
    virtual BOOL ReadReply(char *buffer, int capacity, const char *terminator, int expected,
                           std::unique_ptr<char[]> &grown, int step, ReplyBounds bounds);

    // m_replyTimeout of silence, m_replyLimit in all.
    ReplyBounds CommandBounds() const { return {m_replyTimeout, m_replyLimit}; }

    // Every wait of the session ends at once, failing with WSAEINTR and the
    // text SMTP_ABORTED_TEXT, while `abort` is signalled. Never reset here.
    void SetAbortEvent(const CEvent *abort) { m_connection.SetAbortEvent(abort); }

    // The server's text of the last reply that failed a read: a reply with
    // another code, or what had arrived when the read failed.
    const CString &GetLastReply() const { return m_lastReply; }
    BOOL IsConnected() const { return m_connected; }
    CClientSocket &Socket() { return m_connection; }

    DWORD m_replyTimeout = REPLY_TIMEOUT;
    DWORD m_replyLimit = REPLY_LIMIT;
    DWORD m_dataEndTimeout = DATA_END_TIMEOUT;
    int m_replyCode = 0;  // code of the last complete reply; 0 when it had none or was malformed

private:

    BOOL AbandonConnect(const char *text);
    BOOL Transmit(const char *data, int length);
    BOOL Transmit(const CString &text) { return Transmit(text.GetString(), text.GetLength()); }
    BOOL Command(const CString &command, int expected);
    BOOL Command(const CString &command, int expected, ReplyBounds bounds);
    BOOL CheckAddress(const CString &address);
    BOOL CheckEnvelope(const CMailMessage &message);
    BOOL SendEnvelope(const CMailMessage &message);
    BOOL SendContent(const CMailMessage &message);
    std::optional<DWORD> ReceiveMore(CReplyBuffer &reply, CReplyDeadline &deadline);
    BOOL FinishReply(std::string_view reply, const char *terminator, int expected);
    BOOL FailRead(DWORD error, std::string_view partial, const CReplyDeadline &deadline);
    // Both set the last error to `code` and return FALSE; the first failure
    // of the session keeps its text. FailWithReply keeps `reply` as the
    // server's words and explains the failure with `text`.
    BOOL Fail(const CString &text, DWORD code);
    BOOL FailWithReply(const CString &reply, const CString &text, DWORD code);

    CClientSocket m_connection;
    BOOL m_connected = FALSE;
    CString m_lastReply;    // the server's words only
    CString m_errorText;    // Connect's own failure texts
    CString m_failureText;  // what explains the first failure after Connect
    bool m_failed = false;  // an operation of this session has failed
    std::string m_pending;  // bytes received after the end of the last reply
};
