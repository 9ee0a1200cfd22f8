// CMapiMail: one mail for CSimpleMapi::SendMail, filled by the mailer for
// one delivery on the sender's stack. SendMail may replace a recipient
// text by the name that the mail client resolved it to.
#pragma once

#include "platform/cstring.h"
#include "platform/string_array.h"

class CMapiMail {
public:
    CStringArray m_to;
    CStringArray m_cc;
    CStringArray m_bcc;
    CString m_subject;
    CString m_noteText;
    CStringArray m_attachPaths;
    // Names shown to the recipient: empty, or one per entry of m_attachPaths.
    CStringArray m_attachNames;
};
