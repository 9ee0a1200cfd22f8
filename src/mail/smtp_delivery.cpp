#include "mail/smtp_delivery.h"

#include "compose/envelope_address.h"
#include "compose/mail_message.h"
#include "mail/cyrillic_recoder.h"
#include "mail/field_checks.h"
#include "mail/message_record.h"
#include "mail/server_check.h"
#include "mail/smtp_connection_settings.h"
#include "settings/game_settings.h"
#include "smtp/smtp_session.h"

#include <cstdlib>
#include <optional>

namespace {

// Names the file that every session appends its transcript to ("-":
// standard error).
constexpr const char *TRACE_VARIABLE = "MORV_SMTP_TRACE";

// Windows-1251 letters rewritten to KOI8-R, as one map of every byte: the
// recoder writes each byte whatever the bytes around it. Made once.
const ByteMap &MailRecoding()
{
    static const ByteMap map = [] {
        ByteMap bytes;
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = RecodedByte(static_cast<unsigned char>(i), ROW_WINDOWS_1251, ROW_KOI8_R);
        return bytes;
    }();
    return map;
}

// The text as the server gets it.
CString RecodedForMail(const CString &text)
{
    std::string recoded;
    recoded.reserve(text.view().size());
    for (const char byte : text.view()) {
        if (const std::optional<unsigned char> written = MailRecoding()[static_cast<unsigned char>(byte)])
            recoded.push_back(static_cast<char>(*written));
    }
    return CString(std::move(recoded));
}

constexpr const char *UNREADABLE_ADDRESS_LIST_TEXT = "Cannot read the address list: %s";
constexpr const char *NUL_IN_BODY_TEXT = "The message text holds a NUL byte, which mail cannot carry";

// The message as the server gets it, or the text of what keeps it from
// being sent. Nothing of it needs the server, so it is settled before a
// connection is made.
CString ComposeMessage(CMessageRecord &record, CMailMessage &message)
{
    const CString &to = record[KEY_TO];
    CString unreadable;
    if (!message.ParseAddressList(to, ADDRESS_TO, &unreadable))
        return CString::Formatted(UNREADABLE_ADDRESS_LIST_TEXT, unreadable.Trim().GetString());
    if (message.GetAddressCount(ADDRESS_TO) == 0)
        return CString::Formatted(UNREADABLE_ADDRESS_LIST_TEXT, to.GetString());
    // The header shows the sender as written; the envelope takes its address.
    message.m_from = CMailAddress(record[KEY_FROM]);
    if (const char *problem = EnvelopeProblem(message))
        return problem;
    const CString &body = record[KEY_BODY];
    if (body.view().find('\0') != std::string_view::npos)
        return NUL_IN_BODY_TEXT;
    message.m_subject = RecodedForMail(record[KEY_SUBJECT]);
    // Recoded while it is stuffed: a long body is held only once more.
    message.SetBody(body, &MailRecoding());
    return CString();
}

void SetError(CMessageRecord &record, const CString &text)
{
    record.m_error.Format("%s ERR: %s", record[KEY_GAME_NAME].GetString(), text.GetString());
}

}  // namespace

BOOL DeliverRecordBySmtp(CMessageRecord &record)
{
    const CString missing = MissingFieldError(record, {{KEY_FROM, "FROM"}, {KEY_TO, "TO"}, {KEY_BODY, "BODY"}});
    if (!missing.IsEmpty()) {
        record.m_error = missing;
        return FALSE;
    }
    CMailMessage message;
    if (const CString problem = ComposeMessage(record, message); !problem.IsEmpty()) {
        SetError(record, problem);
        return FALSE;
    }
    SmtpConnectionSettings connection;
    if (const CString problem = ReadSmtpConnectionSettings(record, connection); !problem.IsEmpty()) {
        SetError(record, problem);
        return FALSE;
    }
    CSmtpSession session;
    session.SetAbortEvent(record.GetAbortEvent());
    session.SetSecurity(connection.security, connection.caFile);
    session.SetLogin(connection.login, connection.password);
    session.TraceTo(std::getenv(TRACE_VARIABLE));
    const bool checkOnly = IsServerCheck(record);
    BOOL sent = FALSE;
    if (session.Connect(connection.server.host, connection.server.port) && !checkOnly)
        sent = session.SendMail(message);
    session.Disconnect();
    SetError(record, session.GetErrorText());
    if (checkOnly && session.GetErrorText().IsEmpty())
        SetServerCheckPassed(record);
    return sent;
}
