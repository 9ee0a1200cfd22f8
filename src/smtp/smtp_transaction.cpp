// CSmtpSession: the mail transaction (envelope, DATA, the content).
#include "smtp/smtp_session.h"

#include "platform/last_error.h"
#include "smtp/send_pieces.h"

#include <vector>

namespace {

constexpr std::string_view END_OF_DATA = "\r\n.\r\n";

}  // namespace

BOOL CSmtpSession::Command(const CString &command, int expected, std::string_view shown)
{
    return Command(command, expected, CommandBounds(), shown);
}

// `shown` stands for the command in the trace; empty: the command itself.
BOOL CSmtpSession::Command(const CString &command, int expected, ReplyBounds bounds, std::string_view shown)
{
    return Transmit(command, shown.empty() ? command.view() : shown) && Answered(expected, bounds);
}

// A reply with another code, or none in time, gives ERROR_BAD_COMMAND.
BOOL CSmtpSession::Answered(int expected, ReplyBounds bounds)
{
    if (ExpectReplyWithin(expected, bounds))
        return TRUE;
    if (GetLastError() != WSAEINTR)
        SetLastError(ERROR_BAD_COMMAND);
    return FALSE;
}

// An address with a line break would let its text end the command early and
// smuggle in commands of its own, and a blank or bracket would end the
// address early; nothing is sent for it.
BOOL CSmtpSession::CheckAddress(const CString &address)
{
    if (const char *problem = EnvelopeAddressProblem(address.view()))
        return Fail(problem, ERROR_INVALID_DATA);
    return TRUE;
}

BOOL CSmtpSession::CheckEnvelope(const CMailMessage &message)
{
    if (const char *problem = EnvelopeProblem(message))
        return Fail(problem, ERROR_INVALID_DATA);
    return TRUE;
}

BOOL CSmtpSession::AddRecipient(const CMailAddress &address)
{
    return CheckAddress(address.m_address) &&
           Command(CString::Formatted("RCPT TO:<%s>\r\n", address.m_address.GetString()), 250);
}

BOOL CSmtpSession::SendEnvelope(const CMailMessage &message)
{
    const CString sender = EnvelopeSender(message.m_from.m_address);
    if (!CheckEnvelope(message) || !Command(CString::Formatted("MAIL FROM:<%s>\r\n", sender.GetString()), 250))
        return FALSE;
    for (const int kind : {ADDRESS_TO, ADDRESS_CC, ADDRESS_BCC}) {
        for (int index = 0; index < message.GetAddressCount(kind); ++index) {
            if (!AddRecipient(message.GetAddress(index, kind)))
                return FALSE;
        }
    }
    return TRUE;
}

// The content and the end of data go down in one call, in pieces, so that
// they leave together; the trace shows the content's size.
BOOL CSmtpSession::SendContent(const CMailMessage &message)
{
    const bool multipart = !message.m_attachments.empty();
    const CString header = message.BuildHeader();
    std::vector<CString> heads;
    heads.reserve(message.m_attachments.size());  // the pieces point into it
    std::vector<std::string_view> pieces{header.view()};
    if (multipart)
        pieces.push_back(MIME_TEXT_PART_HEAD);
    pieces.push_back(message.m_body.view());
    for (const CMailAttachment *attachment : message.m_attachments) {
        if (!attachment)
            continue;
        heads.push_back(attachment->BuildPartHead());
        pieces.push_back(heads.back().view());
        pieces.emplace_back(attachment->m_data, attachment->m_data ? attachment->m_length : 0);
    }
    if (multipart)
        pieces.push_back(MIME_CLOSING_DELIMITER);
    m_trace.Sent(CString::Formatted("<content: %zu bytes>", TotalSize(pieces)).view());
    m_trace.Sent(".");
    pieces.push_back(END_OF_DATA);
    return Transmit(pieces);
}

BOOL CSmtpSession::SendMail(const CMailMessage &message)
{
    return SendEnvelope(message) && Command("DATA\r\n", 354) && SendContent(message) &&
           Answered(250, {m_dataEndTimeout, m_dataEndTimeout});
}
