#include "mail/message_record.h"

#include "settings/game_settings.h"

CMessageRecord::CMessageRecord() : CMapStringToString(10) {}

CMessageRecord::~CMessageRecord() = default;

void CMessageRecord::Merge(const CMapStringToString &source) { MergePairs(*this, source); }

BOOL CMessageRecord::Deliver()
{
    const int mailer = MailerNumber((*this)[KEY_MAILER]);
    switch (mailer) {
    case MAILER_SMTP:
        return DeliverBySmtp();
    case MAILER_MAPI:
        return DeliverByMapi();
    case MAILER_FILE:
        m_error.Format("%s No FILE mailer found", (*this)[KEY_GAME_NAME].GetString());
        return FALSE;
    default:
        m_error.Format("%s No mailer %d found", (*this)[KEY_GAME_NAME].GetString(), mailer);
        return FALSE;
    }
}
