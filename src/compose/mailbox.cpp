#include "compose/mailbox.h"

#include "compose/domain_name.h"
#include "compose/envelope_address.h"

#include <algorithm>

const char *MailboxProblem(std::string_view address)
{
    if (std::count(address.begin(), address.end(), '@') != 1)
        return MAILBOX_AT_TEXT;
    const std::size_t at = address.find('@');
    if (at == 0)
        return MAILBOX_LOCAL_PART_TEXT;
    const std::string_view domain = address.substr(at + 1);
    if (!IsDomainOfLabels(domain) && !IsAddressLiteral(domain))
        return MAILBOX_DOMAIN_TEXT;
    return nullptr;
}

CString MailboxesProblem(const CMailMessage &message)
{
    for (const CString &address : EnvelopeAddresses(message)) {
        if (const char *problem = MailboxProblem(address.view()))
            return CString::Formatted(NOT_A_MAILBOX_TEXT, address.GetString(), problem);
    }
    return CString();
}
