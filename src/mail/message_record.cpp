#include "mail/message_record.h"

#include "settings/game_settings.h"

std::atomic<MailerStandIn> g_pfnMailerStandIn{nullptr};

CMessageRecord::CMessageRecord() : CMapStringToString(10) {}

CMessageRecord::~CMessageRecord() = default;

void CMessageRecord::Merge(const CMapStringToString &source) { MergePairs(*this, source); }

BOOL CMessageRecord::Deliver()
{
    const int mailer = MailerNumber((*this)[KEY_MAILER]);
    if (mailer == MAILER_SMTP || mailer == MAILER_MAPI) {
        if (const MailerStandIn standIn = g_pfnMailerStandIn.load())
            return standIn(*this, mailer);
        return mailer == MAILER_SMTP ? DeliverBySmtp() : DeliverByMapi();
    }
    const char *game = (*this)[KEY_GAME_NAME].GetString();
    if (mailer == MAILER_FILE)
        m_error.Format("%s No FILE mailer found", game);
    else
        m_error.Format("%s No mailer %d found", game, mailer);
    return FALSE;
}
