// The SMTP delivery path: a record sent through the plug-in's own SMTP
// client, on the sender's thread.
#pragma once

#include "platform/win_types.h"

class CMessageRecord;

// Checks "From", "To" and "Body", connects to "ServerSMTP" and sends the
// record with its subject and body recoded to KOI8-R. Nonzero when the
// server accepted the message; the record's m_error holds "%s ERR: %s"
// with the game name and the session's error text either way.
BOOL DeliverRecordBySmtp(CMessageRecord &record);
