#include "mail/smtp_delivery.h"

#include "compose/address_parser.h"
#include "compose/envelope_address.h"
#include "compose/mail_message.h"
#include "compose/mailbox.h"
#include "compose/provider_mail_message.h"
#include "mail/cyrillic_recoder.h"
#include "mail/field_checks.h"
#include "mail/message_record.h"
#include "mail/server_check.h"
#include "mail/smtp_connection_settings.h"
#include "settings/game_settings.h"
#include "smtp/smtp_session.h"

#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <random>

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
// What the recoded subject, names and body are in.
constexpr const char *MAIL_CHARSET = "KOI8-R";

// The moment and a unique part for the Message-ID of a mail to a provider.
MessageStamp NewMessageStamp()
{
    std::random_device random;
    const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    const CString unique = CString::Formatted("%lld.%08x%08x", static_cast<long long>(now.time_since_epoch().count()),
                                              random(), random());
    return {now, unique.str()};
}

// The message a record is composed into: on the route to a mail provider,
// one with the header that providers expect.
std::unique_ptr<CMailMessage> NewMessage(bool provider)
{
    if (provider)
        return std::make_unique<CProviderMailMessage>(NewMessageStamp(), MAIL_CHARSET);
    return std::make_unique<CMailMessage>();
}

// The sender's text as the header shows it: as written, or on the route to
// a provider its display name apart from the address and recoded like the
// subject, as the names of the recipients are.
CMailAddress Sender(const CString &from, bool provider)
{
    CMailAddress sender;
    if (!provider || ParseAddressItem(from.view(), sender) == AddressItem::Malformed)
        return CMailAddress(from);
    sender.m_displayName = RecodedForMail(sender.m_displayName);
    return sender;
}

void RecodeDisplayNames(std::vector<CMailAddress> &addresses)
{
    for (CMailAddress &address : addresses)
        address.m_displayName = RecodedForMail(address.m_displayName);
}

// The message as the server gets it, or the text of what keeps it from
// being sent. Nothing of it needs the server, so it is settled before a
// connection is made. A provider takes only mailboxes (local@domain).
CString ComposeMessage(CMessageRecord &record, CMailMessage &message, bool provider)
{
    const CString &to = record[KEY_TO];
    CString unreadable;
    if (!message.ParseAddressList(to, ADDRESS_TO, &unreadable))
        return CString::Formatted(UNREADABLE_ADDRESS_LIST_TEXT, unreadable.Trim().GetString());
    if (message.GetAddressCount(ADDRESS_TO) == 0)
        return CString::Formatted(UNREADABLE_ADDRESS_LIST_TEXT, to.GetString());
    // The header shows the sender as written; the envelope takes its address.
    message.m_from = Sender(record[KEY_FROM], provider);
    if (const char *problem = EnvelopeProblem(message))
        return problem;
    if (const CString problem = provider ? MailboxesProblem(message) : CString(); !problem.IsEmpty())
        return problem;
    const CString &body = record[KEY_BODY];
    if (body.view().find('\0') != std::string_view::npos)
        return NUL_IN_BODY_TEXT;
    if (provider)
        RecodeDisplayNames(message.m_to);
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
    // The settings choose the route, and the route how the message is made.
    SmtpConnectionSettings connection;
    if (const CString problem = ReadSmtpConnectionSettings(record, connection); !problem.IsEmpty()) {
        SetError(record, problem);
        return FALSE;
    }
    const bool provider = connection.security != SmtpSecurity::None;
    const std::unique_ptr<CMailMessage> message = NewMessage(provider);
    if (const CString problem = ComposeMessage(record, *message, provider); !problem.IsEmpty()) {
        SetError(record, problem);
        return FALSE;
    }
    CSmtpSession session;
    session.SetAbortEvent(record.GetAbortEvent(), record.GetLastReplyGrace());
    session.SetSecurity(connection.security, connection.caFile);
    session.SetLogin(connection.login, connection.password);
    session.TraceTo(std::getenv(TRACE_VARIABLE));
    const bool checkOnly = IsServerCheck(record);
    BOOL sent = FALSE;
    if (session.Connect(connection.server.host, connection.server.port) && !checkOnly)
        sent = session.SendMail(*message);
    session.Disconnect();
    SetError(record, session.GetErrorText());
    if (checkOnly && session.GetErrorText().IsEmpty())
        SetServerCheckPassed(record);
    return sent;
}
