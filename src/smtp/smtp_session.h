// CSmtpSession: the client side of one SMTP conversation with one server:
// greeting and HELO (or EHLO with STARTTLS or TLS from the first byte, and
// a login), one mail transaction, QUIT. The delivery path creates one per
// message on the sending thread, and only that thread uses it.
#pragma once

#include "compose/envelope_address.h"
#include "compose/mail_address.h"
#include "compose/mail_message.h"
#include "platform/cstring.h"
#include "platform/event.h"
#include "platform/ticks.h"
#include "platform/win_types.h"
#include "smtp/client_socket.h"
#include "smtp/ehlo_reply.h"
#include "smtp/mail_content.h"
#include "smtp/reply_deadline.h"
#include "smtp/reply_reader.h"
#include "smtp/smtp_trace.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The session's own words for failures that have no reply of the server.
constexpr const char *SMTP_ABORTED_TEXT = "Aborted";
constexpr const char *SMTP_BAD_ADDRESS_TEXT = ADDRESS_LINE_BREAK_TEXT;
constexpr const char *SMTP_REPLY_TOO_LONG_TEXT = "Reply longer than 65536 bytes";
// Formats taking the last error (%d), the bound in seconds (%d).
constexpr const char *SMTP_CONNECTION_LOST_TEXT = "Connection to the SMTP server lost, GetLastError returns: %d";
constexpr const char *SMTP_NO_REPLY_TEXT = "No reply from the SMTP server within %d seconds";
// Followed by the reply.
constexpr const char *SMTP_MALFORMED_REPLY_TEXT = "The SMTP server sent a malformed reply: ";
// Formats taking the host.
constexpr const char *SMTP_NO_STARTTLS_TEXT =
    "The SMTP server %s does not offer STARTTLS; nothing was sent in the clear";
constexpr const char *SMTP_DATA_BEFORE_TLS_TEXT = "The SMTP server %s sent data before the TLS handshake";
// Formats taking the server's reply.
constexpr const char *SMTP_STARTTLS_REFUSED_TEXT = "The SMTP server refused STARTTLS: %s";
constexpr const char *SMTP_LOGIN_REFUSED_TEXT = "The SMTP server refused the login: %s";
constexpr const char *SMTP_EHLO_REFUSED_TEXT = "The SMTP server refused EHLO: %s";
constexpr const char *SMTP_LOGIN_NEEDED_TEXT =
    "The SMTP server takes mail only after a login: %s; set Login, with its password in the netrc file";
constexpr const char *SMTP_NO_AUTH_METHOD_TEXT = "The SMTP server offers neither AUTH PLAIN nor AUTH LOGIN";
constexpr const char *SMTP_LOGIN_WITHOUT_TLS_TEXT = "A login is only sent over TLS";
// On the route to a mail provider, what did not come in time. Formats
// taking the server ("host:port") and the bound in seconds; the first
// also the command first.
constexpr const char *SMTP_NO_REPLY_TO_TEXT = "No reply to %s from %s within %d s";
constexpr const char *SMTP_NO_GREETING_TEXT = "No greeting from the SMTP server %s within %d s";
constexpr const char *SMTP_NO_GREETING_STARTTLS_TEXT =
    "The SMTP server %s sent no greeting within %d s; if it expects TLS from the first byte, set Security=tls";
// Takes the server and its reply.
constexpr const char *SMTP_GREETING_REFUSED_TEXT = "The SMTP server %s refused the connection: %s";

// How the connection is protected: not at all (HELO, as always), by
// STARTTLS after EHLO, or by TLS from the first byte.
enum class SmtpSecurity { None, StartTls, Tls };

class CSmtpSession {
public:
    // Silence allowed in a reply, and the whole time a reply may take from
    // its command (the greeting: from the connection). On the route to a
    // mail provider (any security set) only the whole time counts: the
    // servers there wait on purpose before some replies (a refused login,
    // a greeting behind a filter) and often think longer (a login checked
    // by another server).
    static constexpr DWORD REPLY_TIMEOUT = 2000;
    static constexpr DWORD REPLY_LIMIT = 30000;
    // The reply to the end of data: RFC 5321 4.5.3.2.6 gives the server ten
    // minutes to take the message (content filters, busy queues).
    static constexpr DWORD DATA_END_TIMEOUT = 600000;

    CSmtpSession() = default;
    virtual ~CSmtpSession();
    CSmtpSession(const CSmtpSession &) = delete;
    CSmtpSession &operator=(const CSmtpSession &) = delete;

    // Connects, reads the 220 greeting and says HELO (HeloName of this
    // machine). With a security or a login set, says EHLO instead, starts
    // TLS as set (and EHLO again after STARTTLS) and logs in. FALSE with
    // GetErrorText() set otherwise; after a TCP connection, QUIT is sent,
    // except where it would go in the clear on a session that asked for
    // STARTTLS, after TLS failed, or on the route to a provider after a
    // reply that did not come whole.
    BOOL Connect(const char *host, int port);
    // QUIT and close. TRUE only when the server answered 221; on failure the
    // last error is ERROR_BAD_COMMAND (WSAEINTR on abort). FALSE when not
    // connected. On the route to a provider, a session whose last reply did
    // not come whole closes without QUIT: the server may still answer the
    // command before it, and that answer must not pass for QUIT's. Where
    // QUIT already went with the end of data, its reply is not awaited:
    // the connection is closed and the result is TRUE.
    BOOL Disconnect();
    // The Connect failure text when there is one, else the text of the
    // session's first failure: the server's reply, or the session's own words
    // when there was none (an abort, a lost connection ...).
    CString GetErrorText() const;

    // One mail transaction: MAIL FROM (the EnvelopeSender of m_from, with
    // the size and the body type where the server's EHLO offers them),
    // RCPT TO for To, Cc and Bcc, DATA, the content, the end of data. TRUE
    // when the server accepted the end of data. A refused command gives
    // ERROR_BAD_COMMAND and the server's reply text. Before anything is
    // sent, a message without recipients or with an envelope address that
    // EnvelopeAddressProblem refuses fails with ERROR_INVALID_DATA. On the
    // route to a provider whose server offers PIPELINING (RFC 2920), MAIL
    // FROM, every RCPT TO and DATA go in one write and the end of data and
    // QUIT in another, with the same outcomes and texts as one command at
    // a time.
    BOOL SendMail(const CMailMessage &message);
    // RCPT TO for one address; TRUE only for a 250 reply.
    BOOL AddRecipient(const CMailAddress &address);

    // Reads one reply within the command bounds; TRUE when it carries
    // exactly `expected`.
    virtual BOOL ExpectReply(int expected);
    // Reads one reply into `buffer`, or into buffers grown by `step` and kept
    // in `grown`. Bytes after the reply stay for the next read. FALSE with
    // the last error: WSAEPROTONOSUPPORT for another code or a malformed
    // reply (lines without a code or with different codes), or what ended
    // the read (SmtpReply::error).
    virtual BOOL ReadReply(char *buffer, int capacity, const char *terminator, int expected,
                           std::unique_ptr<char[]> &grown, int step, ReplyBounds bounds);

    // Set before Connect. The certificate must name Connect's host;
    // `caFile` adds certificates to trust (PEM), empty for none.
    void SetSecurity(SmtpSecurity security, const CString &caFile = CString());
    // AUTH PLAIN or LOGIN with these after TLS is up; an empty user: none.
    void SetLogin(const CString &user, const CString &password);
    // Appends the transcript to the file at `path` ("-" for standard
    // error); null or empty for none. The login and the content are not
    // shown.
    void TraceTo(const char *path) { m_trace.Open(path); }

    // Every wait of the session ends at once, failing with WSAEINTR and the
    // text SMTP_ABORTED_TEXT, while `abort` is signalled; what the server
    // has already sent is read without a wait. Never reset here. The one
    // exception is the reply to the end of data, which the server may be
    // storing the message for: it may still come for `lastReplyGrace` ms
    // after the abort (the mail was sent if it accepts), then the wait ends
    // as aborted.
    void SetAbortEvent(const CEvent *abort, DWORD lastReplyGrace = 0)
    {
        m_connection.SetAbortEvent(abort);
        m_lastReplyGrace = lastReplyGrace;
    }

    // The server's text of the last reply that failed a read: a reply with
    // another code, or what had arrived when the read failed.
    const CString &GetLastReply() const { return m_lastReply; }
    BOOL IsConnected() const { return m_connected; }

    DWORD m_replyTimeout = REPLY_TIMEOUT;
    DWORD m_replyLimit = REPLY_LIMIT;
    DWORD m_dataEndTimeout = DATA_END_TIMEOUT;
    int m_replyCode = 0;  // code of the last complete reply; 0 when it had none or was malformed

private:
    // Names the reply the public ExpectReply reads in texts.
    static constexpr std::string_view LAST_COMMAND = "the last command";
    static constexpr const char *QUIT_LINE = "QUIT\r\n";

    BOOL OpenConnection(const char *host, int port);
    // The route to a mail provider: EHLO, TLS, a login, and its own pace
    // and texts.
    bool OnProviderRoute() const { return m_security != SmtpSecurity::None || !m_user.IsEmpty(); }
    // Commands go in groups, their replies read in order.
    bool Pipelining() const { return OnProviderRoute() && m_offers.pipelining; }
    // m_replyTimeout of silence (none on the provider route), m_replyLimit in all.
    ReplyBounds CommandBounds() const;
    CString ClientName() const;  // for HELO and EHLO
    CString GreetingFailure() const;
    BOOL SayHelo();
    BOOL Introduce(const char *host);
    BOOL SayEhlo();
    BOOL UpgradeToTls(const char *host);
    BOOL StartTls(const char *host);
    BOOL Authenticate();
    BOOL LogIn(AuthMechanism mechanism);
    bool MayQuit() const;
    // `text`, or the abort's text when the failure was the abort.
    CString UnlessAborted(const CString &text) const;
    // The session's own words on its outcome (GetErrorText) come from its
    // first failure, so a QUIT that fails after a refused command does not
    // replace the refusal; a failed step (of Connect, or a MAIL FROM that
    // asks for a login) says what failed in its own words, over what a
    // reply or a read said before. Empty words leave what was said.
    enum class Explanation { FirstFailure, StepWords };
    void Explain(const CString &text, Explanation explanation);
    BOOL AbandonConnect(const CString &text);
    BOOL DropConnection(const CString &text);
    BOOL Transmit(std::span<const std::string_view> pieces);
    BOOL Transmit(const CString &text, std::string_view shown);
    BOOL Transmit(const CString &text) { return Transmit(text, text.view()); }
    // Sends `line` and reads its reply; `name` stands for the command in
    // failure texts, `shown` for the line in the trace (empty: the line).
    BOOL Command(std::string_view name, const CString &line, int expected, std::string_view shown = {});
    // Reads the reply to `name`; a reply with another code, or none in
    // time, gives ERROR_BAD_COMMAND.
    BOOL Answered(std::string_view name, int expected, ReplyBounds bounds);
    // Reads the reply to `name`, its bytes into `text` when given.
    BOOL AwaitReply(std::string_view name, int expected, ReplyBounds bounds, std::string *text = nullptr);
    BOOL CheckEnvelope(const CMailMessage &message);
    // MAIL FROM and RCPT TO one at a time, then DATA; or all in one group.
    BOOL OpenData(const std::vector<CString> &addresses, std::size_t size);
    BOOL OpenDataInOneGroup(const std::vector<CString> &addresses, std::size_t size);
    // The replies of the group, judged as one command at a time would be.
    BOOL AwaitGroupReplies(std::size_t recipients);
    // DATA was taken though the envelope failed: nothing is delivered.
    BOOL AbandonData(std::size_t acceptedRecipients);
    CString SenderLine(const CString &sender, std::size_t size) const;
    static CString RecipientLine(const CString &recipient);
    BOOL SenderAccepted();
    BOOL SendContent(const CMailContent &content);
    // TRUE for a complete reply with the code `expected`; otherwise fails
    // with the server's words and the session's own.
    BOOL CheckReply(const SmtpReply &reply, int expected, std::string_view name);
    BOOL FailRead(const SmtpReply &reply, std::string_view name);
    // Both set the last error to `code` and return FALSE; the failure is
    // explained with `text`. FailWithReply keeps `reply` as the server's
    // words.
    BOOL Fail(const CString &text, DWORD code);
    BOOL FailWithReply(const CString &reply, const CString &text, DWORD code);

    CClientSocket m_connection;
    CReplyReader m_reader{m_connection};
    BOOL m_connected = FALSE;
    CString m_lastReply;  // the server's words only
    CString m_errorText;  // the session's own words (Explain)
    // The last reply read was whole but carried another code: a failed
    // step then says so with its words; otherwise what the read said stays.
    bool m_refused = false;
    bool m_outOfStep = false;   // a reply did not come whole on the provider route
    bool m_quitSent = false;    // QUIT went with the end of data
    CString m_server;           // "host:port", for texts
    EhloOffers m_offers;        // of the last EHLO
    SmtpSecurity m_security = SmtpSecurity::None;
    CString m_caFile;
    CString m_user;
    CString m_password;
    DWORD m_lastReplyGrace = 0;
    CSmtpTrace m_trace;
};
