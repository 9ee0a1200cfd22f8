#include "smtp/mail_content.h"

#include "smtp/send_pieces.h"

CMailContent::CMailContent(const CMailMessage &message) : m_header(message.BuildHeader())
{
    const bool multipart = !message.m_attachments.empty();
    m_heads.reserve(message.m_attachments.size());
    m_pieces.push_back(m_header.view());
    if (multipart)
        m_pieces.push_back(MIME_TEXT_PART_HEAD);
    m_pieces.push_back(message.m_body.view());
    for (const CMailAttachment *attachment : message.m_attachments) {
        if (!attachment)
            continue;
        m_heads.push_back(attachment->BuildPartHead());
        m_pieces.push_back(m_heads.back().view());
        m_pieces.emplace_back(attachment->m_data, attachment->m_data ? attachment->m_length : 0);
    }
    if (multipart)
        m_pieces.push_back(MIME_CLOSING_DELIMITER);
}

std::size_t CMailContent::Size() const { return TotalSize(m_pieces); }
