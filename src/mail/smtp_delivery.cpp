#include "mail/message_record.h"

#include "settings/game_settings.h"

BOOL CMessageRecord::DeliverBySmtp()
{
    m_error.Format("%s ERR: no SMTP mailer in this build", (*this)[KEY_GAME_NAME].GetString());
    return FALSE;
}
