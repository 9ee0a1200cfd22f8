// The Simple MAPI mailer: a record handed to the machine's mail client, on
// the sender's thread.
#pragma once

#include "platform/win_types.h"

class CMessageRecord;

// Checks "Body" and "To", logs on to the profile "Default" and sends the
// record. Nonzero when the mail client took it; the record's m_error holds
// "%s MAPI error %ld" with the game name and the last result either way.
BOOL DeliverRecordByMapi(CMessageRecord &record);
