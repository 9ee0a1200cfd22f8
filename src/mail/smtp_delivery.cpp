#include "mail/smtp_delivery.h"

#include "compose/mail_message.h"
#include "mail/cyrillic_recoder.h"
#include "mail/field_checks.h"
#include "mail/message_record.h"
#include "mail/smtp_server_address.h"
#include "settings/game_settings.h"
#include "smtp/smtp_session.h"

namespace {

// The text as the server gets it: Windows-1251 letters rewritten to KOI8-R,
// on a private copy.
CString RecodedForMail(const CString &text)
{
    CString copy = text;
    const int length = copy.GetLength();
    RecodeCyrillic(reinterpret_cast<unsigned char *>(copy.GetBuffer(length)), static_cast<std::size_t>(length),
                   ROW_WINDOWS_1251, ROW_KOI8_R);
    return copy;
}

BOOL SendRecord(CSmtpSession &session, CMessageRecord &record)
{
    CMailMessage message;
    message.m_from = CMailAddress(record[KEY_FROM]);
    // A malformed item only ends the list: the addresses before it are used.
    message.ParseAddressList(record[KEY_TO], ADDRESS_TO);
    message.m_subject = RecodedForMail(record[KEY_SUBJECT]);
    message.SetBody(RecodedForMail(record[KEY_BODY]));
    return session.SendMail(message);
}

}  // namespace

BOOL DeliverRecordBySmtp(CMessageRecord &record)
{
    const CString missing = MissingFieldError(record, {{KEY_FROM, "FROM"}, {KEY_TO, "TO"}, {KEY_BODY, "BODY"}});
    if (!missing.IsEmpty()) {
        record.m_error = missing;
        return FALSE;
    }
    CSmtpSession session;
    session.SetAbortEvent(record.GetAbortEvent());
    const SmtpServerAddress server = ParseSmtpServer(record[KEY_SERVER_SMTP]);
    BOOL sent = FALSE;
    if (session.Connect(server.host, server.port))
        sent = SendRecord(session, record);
    session.Disconnect();
    record.m_error.Format("%s ERR: %s", record[KEY_GAME_NAME].GetString(), session.GetErrorText().GetString());
    return sent;
}
