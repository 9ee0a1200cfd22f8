// CMailAttachment: one attachment part of a mail message. The producer that
// adds it to a CMailMessage owns the record and its bytes and keeps both
// alive until the message has been sent; the message only points at it.
#pragma once

#include "platform/cstring.h"
#include "platform/win_types.h"

class CMailAttachment {
public:
    // The head that opens this attachment's part, names written unquoted.
    CString BuildPartHead() const;

    CString m_name;
    CString m_fileName;
    const char *m_data = nullptr;  // base64 text, already as it goes on the wire
    DWORD m_length = 0;
};
