// CProviderMailMessage: a mail on its way to a mail provider, whose servers
// and the receiving ones want today's header (RFC 5322, 2045, 2047): a
// Date, a Message-ID under the sender's domain, the MIME lines that name
// the text's charset, 8-bit display names and subjects in encoded words,
// long lines folded. The moment and the unique part come with the message,
// so the header is a pure function of it. Lives on the sending thread like
// its base.
#pragma once

#include "compose/mail_message.h"

#include <chrono>
#include <string>

struct MessageStamp {
    std::chrono::sys_seconds time;  // when the message was written
    std::string unique;             // the Message-ID's left part: letters, digits, dots
};

class CProviderMailMessage : public CMailMessage {
public:
    // `charset`: what the subject, the display names and the body are in.
    CProviderMailMessage(MessageStamp stamp, std::string charset)
        : m_stamp(std::move(stamp)), m_charset(std::move(charset))
    {
    }

    // Date, From, To, optional Cc, Subject, optional Reply-To, Message-ID,
    // the MIME lines (the multipart ones when there are attachments), the
    // empty line.
    CString BuildHeader() const override;

private:
    std::string MessageId() const;

    MessageStamp m_stamp;
    std::string m_charset;
};

// RFC 5322 3.3 in UTC: "Thu, 01 Jan 1970 00:00:00 +0000".
std::string MailDate(std::chrono::sys_seconds time);
