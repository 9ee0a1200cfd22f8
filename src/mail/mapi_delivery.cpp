#include "mail/message_record.h"

#include "settings/game_settings.h"

BOOL CMessageRecord::DeliverByMapi()
{
    m_error.Format("%s MAPI error %ld", (*this)[KEY_GAME_NAME].GetString(), 0L);
    return FALSE;
}
