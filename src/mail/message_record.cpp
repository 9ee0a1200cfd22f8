#include "mail/message_record.h"

#include "mail/mailer_calls.h"
#include "mail/mapi_delivery.h"
#include "mail/server_check.h"
#include "mail/smtp_delivery.h"
#include "settings/game_settings.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr std::array LASTING_KEYS{KEY_GAME_NAME, KEY_MAILER, KEY_SERVER_SMTP, KEY_FROM,
                                  KEY_TO,        KEY_SUBJECT, KEY_ACTION,     KEY_BODY};

bool IsLasting(const CString &key)
{
    return std::find(LASTING_KEYS.begin(), LASTING_KEYS.end(), key.view()) != LASTING_KEYS.end();
}

}  // namespace

CMessageRecord::CMessageRecord() : CMapStringToString(10) {}

CMessageRecord::~CMessageRecord() = default;

void CMessageRecord::Merge(const CMapStringToString &source) { MergePairs(*this, source); }

void CMessageRecord::ForgetPerMessageKeys()
{
    std::vector<CString> perMessage;
    for (const auto &[key, value] : *this) {
        if (!IsLasting(key))
            perMessage.push_back(key);
    }
    for (const CString &key : perMessage)
        RemoveKey(key);
}

BOOL CMessageRecord::Deliver()
{
    const int mailer = MailerNumber((*this)[KEY_MAILER]);
    if (mailer != MAILER_SMTP && IsServerCheck(*this))
        return RefuseServerCheck(*this);
    const MailerCalls &mailers = CurrentMailerCalls();
    if (mailer == MAILER_SMTP)
        return mailers.smtp(*this);
    if (mailer == MAILER_MAPI)
        return mailers.mapi(*this);
    const char *game = (*this)[KEY_GAME_NAME].GetString();
    if (mailer == MAILER_FILE)
        m_error.Format("%s No FILE mailer found", game);
    else
        m_error.Format("%s No mailer %d found", game, mailer);
    return FALSE;
}

BOOL CMessageRecord::DeliverBySmtp() { return DeliverRecordBySmtp(*this); }

BOOL CMessageRecord::DeliverByMapi() { return DeliverRecordByMapi(*this); }
