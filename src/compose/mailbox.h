// Pure check that an envelope address is a mailbox, local@domain (RFC 5321
// 4.1.2): one "@", something before it, and after it a domain of labels or
// an address literal. The servers of mail providers take nothing else, and
// a server that takes "Doe" as a recipient only bounces it later.
#pragma once

#include "platform/cstring.h"

#include <string_view>

class CMailMessage;

// Why an address is not a mailbox, in the order the rules are checked;
// inline, so that a text has one address in every unit that names it.
inline constexpr char MAILBOX_AT_TEXT[] = "it needs exactly one @";
inline constexpr char MAILBOX_LOCAL_PART_TEXT[] = "nothing stands before the @";
inline constexpr char MAILBOX_DOMAIN_TEXT[] =
    "after the @ must come a domain (names of letters, digits and hyphens joined by dots) or an address in brackets";
// Takes the address and one of the texts above.
inline constexpr char NOT_A_MAILBOX_TEXT[] = "\"%s\" is not a mail address of the form local@domain: %s";

// The text of the first rule `address` breaks, or null for a mailbox.
const char *MailboxProblem(std::string_view address);

// NOT_A_MAILBOX_TEXT for the first envelope address of `message`
// (EnvelopeAddresses) that is not a mailbox; empty when all are.
CString MailboxesProblem(const CMailMessage &message);
