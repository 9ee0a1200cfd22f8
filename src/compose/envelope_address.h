// Pure checks of the addresses that go between the angle brackets of MAIL
// FROM and RCPT TO, and the bare address a sender's text names. A server
// reads an envelope address up to the ">" and the line up to its end, so an
// address must hold neither, nor anything a server may take for the end.
#pragma once

#include "platform/cstring.h"

#include <string_view>
#include <vector>

class CMailMessage;

// The texts of the checks, in the order they are made.
constexpr const char *ADDRESS_LINE_BREAK_TEXT = "Invalid character (CR, LF or NUL) in mail address";
constexpr const char *ADDRESS_CHARACTER_TEXT = "Invalid character (blank, <, > or control character) in mail address";
constexpr const char *ADDRESS_NON_ASCII_TEXT = "Invalid character (not ASCII) in mail address";
constexpr const char *ADDRESS_TOO_LONG_TEXT = "Mail address longer than 254 octets";
constexpr const char *NO_RECIPIENT_TEXT = "No recipient for the message";

constexpr std::size_t MAX_ADDRESS_LENGTH = 254;

// The text of the first check that `address` fails, or null when it may go
// into the envelope.
const char *EnvelopeAddressProblem(std::string_view address);

// The address of a sender written as "Name <addr>": the trimmed text
// between the first "<" and the first ">" after it; any other text as it is.
CString EnvelopeSender(const CString &from);

// The addresses of the envelope in the order they go out: the sender's
// (EnvelopeSender of m_from), then each of To, Cc and Bcc.
std::vector<CString> EnvelopeAddresses(const CMailMessage &message);

// The text of the first envelope check `message` fails: no line break in
// the sender's text, its address (EnvelopeSender), each recipient's, then
// that there is at least one recipient; null when the envelope may be sent.
const char *EnvelopeProblem(const CMailMessage &message);
