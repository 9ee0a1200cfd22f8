// The name a client gives in HELO (RFC 5321 4.1.4): its host name when that
// is a valid domain text, else the address literal of its end of the
// connection, so that no name of the machine can bend the command. (EHLO,
// to a mail provider, wants a fully qualified name: IsFullyQualifiedDomain.)
#pragma once

#include <string_view>

// True when `hostName` may be given: it is non-empty and holds only
// letters, digits, "-" and "."; otherwise the address literal is given
// ("[192.0.2.7]").
bool IsHeloDomain(std::string_view hostName);
