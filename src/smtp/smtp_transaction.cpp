// CSmtpSession: the mail transaction (envelope, DATA, the content).
#include "smtp/smtp_session.h"

#include "platform/last_error.h"
#include "smtp/send_pieces.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

constexpr std::string_view END_OF_DATA = "\r\n.\r\n";

// A refusal of MAIL FROM that asks for a login first: 530 (RFC 4954 6),
// or another permanent one whose words speak of authentication.
bool AsksForLogin(int code, std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return code == 530 || (code / 100 == 5 && lower.find("auth") != std::string::npos);
}

}  // namespace

BOOL CSmtpSession::Command(std::string_view name, const CString &line, int expected, std::string_view shown)
{
    return Transmit(line, shown.empty() ? line.view() : shown) && Answered(name, expected, CommandBounds());
}

BOOL CSmtpSession::Answered(std::string_view name, int expected, ReplyBounds bounds)
{
    if (AwaitReply(name, expected, bounds))
        return TRUE;
    if (GetLastError() != WSAEINTR)
        SetLastError(ERROR_BAD_COMMAND);
    return FALSE;
}

// An address with a line break would let its text end the command early and
// smuggle in commands of its own, and a blank or bracket would end the
// address early; nothing is sent for such an envelope.
BOOL CSmtpSession::CheckEnvelope(const CMailMessage &message)
{
    if (const char *problem = EnvelopeProblem(message))
        return Fail(problem, ERROR_INVALID_DATA);
    return TRUE;
}

BOOL CSmtpSession::AddRecipient(const CMailAddress &address)
{
    if (const char *problem = EnvelopeAddressProblem(address.m_address.view()))
        return Fail(problem, ERROR_INVALID_DATA);
    return Command("RCPT", CString::Formatted("RCPT TO:<%s>\r\n", address.m_address.GetString()), 250);
}

// A provider's server that wants a login before it takes mail says so in
// words of its own; the player is told what to set.
BOOL CSmtpSession::SendSender(const CString &sender, std::size_t size)
{
    const std::string parameters = MailFromParameters(m_offers, size);
    if (Command("MAIL", CString::Formatted("MAIL FROM:<%s>%s\r\n", sender.GetString(), parameters.c_str()), 250))
        return TRUE;
    if (m_refused && OnProviderRoute() && m_user.IsEmpty() && AsksForLogin(m_replyCode, m_lastReply.view()))
        Explain(CString::Formatted(SMTP_LOGIN_NEEDED_TEXT, m_lastReply.GetString()), Explanation::StepWords);
    return FALSE;
}

BOOL CSmtpSession::SendEnvelope(const CMailMessage &message, std::size_t size)
{
    if (!CheckEnvelope(message))
        return FALSE;
    const std::vector<CString> addresses = EnvelopeAddresses(message);
    if (!SendSender(addresses.front(), size))
        return FALSE;
    return std::all_of(addresses.begin() + 1, addresses.end(),
                       [this](const CString &recipient) { return AddRecipient(CMailAddress(recipient)); });
}

// The content and the end of data go down in one call, in pieces, so that
// they leave together; the trace shows the content's size.
BOOL CSmtpSession::SendContent(const CMailContent &content)
{
    std::vector<std::string_view> pieces(content.Pieces().begin(), content.Pieces().end());
    m_trace.Sent(CString::Formatted("<content: %zu bytes>", content.Size()).view());
    m_trace.Sent(".");
    pieces.push_back(END_OF_DATA);
    return Transmit(pieces);
}

// The server may store the message while its reply is awaited, so a stop
// lets that reply come for a while yet.
BOOL CSmtpSession::SendMail(const CMailMessage &message)
{
    const CMailContent content(message);
    return SendEnvelope(message, content.Size()) && Command("DATA", "DATA\r\n", 354) && SendContent(content) &&
           Answered("the end of data", 250, {m_dataEndTimeout, m_dataEndTimeout, m_lastReplyGrace});
}
