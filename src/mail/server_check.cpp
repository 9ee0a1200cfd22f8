#include "mail/server_check.h"

#include "morvtransport/morvtransport.h"
#include "settings/game_settings.h"

namespace {

constexpr const char *NOT_SMTP_TEXT =
    "%s ERR: QuitBeforeMail checks an SMTP server, and this game's Mailer is not SMTP; nothing was sent";

}  // namespace

bool IsServerCheck(const CMessageRecord &record)
{
    CString value;
    return record.Lookup(MORV_KEY_QUIT_BEFORE_MAIL, value) && value == "1";
}

void SetServerCheckPassed(CMessageRecord &record)
{
    record.m_error.Format(MORV_SERVER_CHECK_PASSED, record[KEY_GAME_NAME].GetString());
}

BOOL RefuseServerCheck(CMessageRecord &record)
{
    record.m_error.Format(NOT_SMTP_TEXT, record[KEY_GAME_NAME].GetString());
    return FALSE;
}
