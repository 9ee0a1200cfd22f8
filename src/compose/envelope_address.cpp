#include "compose/envelope_address.h"

#include "compose/mail_message.h"

#include <algorithm>

namespace {

bool IsLineBreakOrNul(unsigned char ch) { return ch == '\r' || ch == '\n' || ch == '\0'; }

bool IsBlankBracketOrControl(unsigned char ch) { return ch <= ' ' || ch == 0x7F || ch == '<' || ch == '>'; }

bool IsNonAscii(unsigned char ch) { return ch > 0x7F; }

template <typename Test>
bool Holds(std::string_view text, Test test)
{
    return std::any_of(text.begin(), text.end(), [&](char ch) { return test(static_cast<unsigned char>(ch)); });
}

}  // namespace

const char *EnvelopeAddressProblem(std::string_view address)
{
    if (Holds(address, IsLineBreakOrNul))
        return ADDRESS_LINE_BREAK_TEXT;
    if (Holds(address, IsBlankBracketOrControl))
        return ADDRESS_CHARACTER_TEXT;
    if (Holds(address, IsNonAscii))
        return ADDRESS_NON_ASCII_TEXT;
    if (address.size() > MAX_ADDRESS_LENGTH)
        return ADDRESS_TOO_LONG_TEXT;
    return nullptr;
}

CString EnvelopeSender(const CString &from)
{
    const std::string_view text = from.view();
    const std::size_t open = text.find('<');
    const std::size_t close = open == std::string_view::npos ? open : text.find('>', open);
    if (close == std::string_view::npos)
        return from;
    CString address(text.substr(open + 1, close - open - 1));
    address.Trim();
    return address;
}

std::vector<CString> EnvelopeAddresses(const CMailMessage &message)
{
    std::vector<CString> addresses{EnvelopeSender(message.m_from.m_address)};
    for (const int kind : {ADDRESS_TO, ADDRESS_CC, ADDRESS_BCC}) {
        for (int index = 0; index < message.GetAddressCount(kind); ++index)
            addresses.push_back(message.GetAddress(index, kind).m_address);
    }
    return addresses;
}

const char *EnvelopeProblem(const CMailMessage &message)
{
    // The sender's whole text goes into the header: a line break in its
    // name would start a header line of its own there.
    if (Holds(message.m_from.m_address.view(), IsLineBreakOrNul))
        return ADDRESS_LINE_BREAK_TEXT;
    const std::vector<CString> addresses = EnvelopeAddresses(message);
    for (const CString &address : addresses) {
        if (const char *problem = EnvelopeAddressProblem(address.view()))
            return problem;
    }
    return addresses.size() == 1 ? NO_RECIPIENT_TEXT : nullptr;
}
