// The mail transaction of CSmtpSession: envelope, DATA and content.
#include "platform/last_error.h"
#include "smtp/smtp_session.h"

namespace {

bool HoldsLineBreakOrNul(const CString &text)
{
    return text.view().find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

BOOL CSmtpSession::Command(const CString &command, int expected)
{
    if (!Transmit(command))
        return FALSE;
    if (ExpectReply(expected))
        return TRUE;
    if (GetLastError() != WSAEINTR)
        SetLastError(ERROR_BAD_COMMAND);
    return FALSE;
}

// An address with a line break would let its text end the command early and
// smuggle in commands of its own; nothing is sent for it.
BOOL CSmtpSession::CheckAddress(const CString &address)
{
    if (HoldsLineBreakOrNul(address))
        return Fail(SMTP_BAD_ADDRESS_TEXT, ERROR_INVALID_DATA);
    return TRUE;
}

BOOL CSmtpSession::AddRecipient(const CMailAddress &address)
{
    return CheckAddress(address.m_address) &&
           Command(CString::Formatted("RCPT TO:<%s>\r\n", address.m_address.GetString()), 250);
}

BOOL CSmtpSession::SendEnvelope(const CMailMessage &message)
{
    const CString &sender = message.m_from.m_address;
    if (!CheckAddress(sender) || !Command(CString::Formatted("MAIL FROM:<%s>\r\n", sender.GetString()), 250))
        return FALSE;
    for (const int kind : {ADDRESS_TO, ADDRESS_CC, ADDRESS_BCC}) {
        for (int index = 0; index < message.GetAddressCount(kind); ++index) {
            if (!AddRecipient(message.GetAddress(index, kind)))
                return FALSE;
        }
    }
    return TRUE;
}

BOOL CSmtpSession::SendContent(const CMailMessage &message)
{
    const bool multipart = !message.m_attachments.empty();
    if (!Transmit(message.BuildHeader()) || (multipart && !Transmit(MIME_TEXT_PART_HEAD)) ||
        !Transmit(message.m_body))
        return FALSE;
    for (const CMailAttachment *attachment : message.m_attachments) {
        if (!attachment)
            continue;
        const int length = attachment->m_data ? static_cast<int>(attachment->m_length) : 0;
        if (!Transmit(attachment->BuildPartHead()) || !Transmit(attachment->m_data, length))
            return FALSE;
    }
    return !multipart || Transmit(MIME_CLOSING_DELIMITER);
}

BOOL CSmtpSession::SendMail(const CMailMessage &message)
{
    return SendEnvelope(message) && Command("DATA\r\n", 354) && SendContent(message) && Command("\r\n.\r\n", 250);
}
