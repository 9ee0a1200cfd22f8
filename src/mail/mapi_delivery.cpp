#include "mail/mapi_delivery.h"

#include "mail/field_checks.h"
#include "mail/message_record.h"
#include "mail/simple_mapi.h"
#include "settings/game_settings.h"

#include <cstdint>

namespace {

// The mail client's profile; no setting changes it.
constexpr const char *MAPI_PROFILE = "Default";

CMapiMail MailOf(CMessageRecord &record)
{
    CMapiMail mail;
    mail.m_to.push_back(record[KEY_TO]);
    mail.m_subject = record[KEY_SUBJECT];
    mail.m_noteText = record[KEY_BODY];
    return mail;
}

// The code as the "%ld" of a 32-bit result shows it.
long ResultCode(DWORD result) { return static_cast<std::int32_t>(result); }

}  // namespace

BOOL DeliverRecordByMapi(CMessageRecord &record)
{
    const CString missing = MissingFieldError(record, {{KEY_BODY, "BODY"}, {KEY_TO, "TO"}});
    if (!missing.IsEmpty()) {
        record.m_error = missing;
        return FALSE;
    }
    CMapiMail mail = MailOf(record);
    CSimpleMapi mapi;
    mapi.SetAbortEvent(record.GetAbortEvent());
    BOOL sent = FALSE;
    if (mapi.IsLoaded() && mapi.Logon(MAPI_PROFILE, "", nullptr))
        sent = mapi.SendMail(mail);
    record.m_error.Format("%s MAPI error %ld", record[KEY_GAME_NAME].GetString(), ResultCode(mapi.GetLastResult()));
    return sent;
}
