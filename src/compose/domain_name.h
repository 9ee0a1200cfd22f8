// Pure checks of the domains that mail names (RFC 5321 4.1.2, 4.1.3): a
// domain of labels ("mail-1.example.org") and an address literal
// ("[192.0.2.1]", "[IPv6:2001:db8::1]").
#pragma once

#include <string_view>

// Labels of 1 to 63 letters, digits and hyphens, with no hyphen at either
// end, joined by single dots; 253 octets at most.
bool IsDomainOfLabels(std::string_view text);
// Such a domain of two labels at least whose last is not a number, so it
// cannot be taken for an address ("vm" and "10.0.0.1" are not).
bool IsFullyQualifiedDomain(std::string_view text);
// "[" dotted IPv4 "]", or "[IPv6:" hexadecimal digits, colons and dots "]".
bool IsAddressLiteral(std::string_view text);
