// MailerCalls: the mailers that CMessageRecord::Deliver hands a record to,
// gathered in one table, so that tests of the workers and of the page can
// put mailers of their own under the real choice of mailer. Each entry
// delivers the record as the mailer it stands for, leaving its text in
// m_error.
#pragma once

#include "platform/win_types.h"

class CMessageRecord;

struct MailerCalls {
    BOOL (*smtp)(CMessageRecord &record);
    BOOL (*mapi)(CMessageRecord &record);
};

// The table that deliveries from now on use.
const MailerCalls &CurrentMailerCalls();
// Replaces the table; null restores the plug-in's own mailers,
// DeliverBySmtp and DeliverByMapi. The table must outlive every delivery
// made with it.
void UseMailerCalls(const MailerCalls *calls);
