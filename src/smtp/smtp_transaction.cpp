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
    return Command("RCPT", RecipientLine(address.m_address), 250);
}

CString CSmtpSession::RecipientLine(const CString &recipient)
{
    return CString::Formatted("RCPT TO:<%s>\r\n", recipient.GetString());
}

CString CSmtpSession::SenderLine(const CString &sender, std::size_t size) const
{
    const std::string parameters = MailFromParameters(m_offers, size);
    return CString::Formatted("MAIL FROM:<%s>%s\r\n", sender.GetString(), parameters.c_str());
}

// A provider's server that wants a login before it takes mail says so in
// words of its own; the player is told what to set.
BOOL CSmtpSession::SenderAccepted()
{
    if (Answered("MAIL", 250, CommandBounds()))
        return TRUE;
    if (m_refused && OnProviderRoute() && m_user.IsEmpty() && AsksForLogin(m_replyCode, m_lastReply.view()))
        Explain(CString::Formatted(SMTP_LOGIN_NEEDED_TEXT, m_lastReply.GetString()), Explanation::StepWords);
    return FALSE;
}

// The first recipient refused ends the transaction.
BOOL CSmtpSession::OpenData(const std::vector<CString> &addresses, std::size_t size)
{
    if (!Transmit(SenderLine(addresses.front(), size)) || !SenderAccepted())
        return FALSE;
    return std::all_of(addresses.begin() + 1, addresses.end(),
                       [this](const CString &recipient) { return AddRecipient(CMailAddress(recipient)); }) &&
           Command("DATA", "DATA\r\n", 354);
}

// The content and the end of data go down in one call, in pieces, so that
// they leave together, and with them QUIT where the server takes commands
// in groups: the turn is done with the reply to the end of data. The
// trace shows the content's size.
BOOL CSmtpSession::SendContent(const CMailContent &content)
{
    std::vector<std::string_view> pieces(content.Pieces().begin(), content.Pieces().end());
    pieces.push_back(END_OF_DATA);
    m_quitSent = Pipelining();
    if (m_quitSent) {
        m_trace.Note("pipelined: the content, the end of data and QUIT in one write");
        pieces.push_back(QUIT_LINE);
    }
    m_trace.Sent(CString::Formatted("<content: %zu bytes>", content.Size()).view());
    m_trace.Sent(".");
    if (m_quitSent)
        m_trace.Sent(QUIT_LINE);
    return Transmit(pieces);
}

// The server may store the message while its reply is awaited, so a stop
// lets that reply come for a while yet.
BOOL CSmtpSession::SendMail(const CMailMessage &message)
{
    if (!CheckEnvelope(message))
        return FALSE;
    const CMailContent content(message);
    const std::vector<CString> addresses = EnvelopeAddresses(message);
    const BOOL open = Pipelining() ? OpenDataInOneGroup(addresses, content.Size()) : OpenData(addresses, content.Size());
    return open && SendContent(content) &&
           Answered("the end of data", 250, {m_dataEndTimeout, m_dataEndTimeout, m_lastReplyGrace});
}
