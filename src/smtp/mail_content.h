// CMailContent: the DATA stream of one message as pieces that point into
// the message and into what is made for it here: the header block, the
// text part head, the body, each attachment's head and data, the closing
// delimiter. Made once per SendMail, so that the size can go into MAIL
// FROM before the pieces are sent; the message must outlive it. Used on
// the session's thread.
#pragma once

#include "compose/mail_message.h"
#include "platform/cstring.h"

#include <span>
#include <string_view>
#include <vector>

class CMailContent {
public:
    explicit CMailContent(const CMailMessage &message);
    CMailContent(const CMailContent &) = delete;
    CMailContent &operator=(const CMailContent &) = delete;

    std::span<const std::string_view> Pieces() const { return m_pieces; }
    // The octets of all pieces.
    std::size_t Size() const;

private:
    CString m_header;
    std::vector<CString> m_heads;  // the attachments' part heads; the pieces point into them
    std::vector<std::string_view> m_pieces;
};
