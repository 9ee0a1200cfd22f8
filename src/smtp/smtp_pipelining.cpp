// CSmtpSession: the envelope in one group (RFC 2920) where a provider's
// server offers PIPELINING: MAIL FROM, every RCPT TO and DATA in one write,
// their replies read in order and judged as they are one command at a time.
#include "smtp/smtp_session.h"

#include "platform/last_error.h"

#include <algorithm>
#include <iterator>

BOOL CSmtpSession::OpenDataInOneGroup(const std::vector<CString> &addresses, std::size_t size)
{
    std::vector<CString> lines{SenderLine(addresses.front(), size)};
    std::transform(addresses.begin() + 1, addresses.end(), std::back_inserter(lines), RecipientLine);
    lines.emplace_back("DATA\r\n");
    m_trace.Note(CString::Formatted("pipelined: %zu commands in one write", lines.size()).view());
    std::vector<std::string_view> pieces;
    for (const CString &line : lines) {
        m_trace.Sent(line.view());
        pieces.push_back(line.view());
    }
    return Transmit(pieces) && AwaitGroupReplies(addresses.size() - 1);
}

// Every reply is read, so that QUIT's cannot be taken for one of them; a
// reply that does not come whole ends the reading, since the rest can no
// longer be told apart. The first refusal is what the session says.
BOOL CSmtpSession::AwaitGroupReplies(std::size_t recipients)
{
    bool envelopeAccepted = SenderAccepted();
    if (!envelopeAccepted && !m_refused)
        return FALSE;
    std::size_t accepted = 0;
    for (std::size_t index = 0; index < recipients; ++index) {
        if (Answered("RCPT", 250, CommandBounds()))
            ++accepted;
        else if (!m_refused)
            return FALSE;
        else
            envelopeAccepted = false;
    }
    if (!Answered("DATA", 354, CommandBounds()))
        return FALSE;
    return envelopeAccepted ? TRUE : AbandonData(accepted);
}

// With no recipient taken, a lone end of data closes DATA (RFC 2920 3.1)
// and the server has no one to deliver to. With some taken, the end of
// data would deliver an empty mail to them: the connection is closed
// before it instead, and the server drops the transaction.
BOOL CSmtpSession::AbandonData(std::size_t acceptedRecipients)
{
    if (acceptedRecipients > 0) {
        m_trace.Note("closed before the end of data: the server took DATA after a refusal");
        DropConnection(CString());
    } else if (Transmit(".\r\n")) {
        AwaitReply("the end of data", 250, CommandBounds());
    }
    SetLastError(ERROR_BAD_COMMAND);
    return FALSE;
}
