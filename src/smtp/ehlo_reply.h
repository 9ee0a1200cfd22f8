// What a server's EHLO reply offers that the client uses (RFC 5321 4.1.1.1,
// RFC 3207, RFC 4954, RFC 1870, RFC 6152, RFC 2920): STARTTLS, the AUTH
// mechanisms, SIZE, 8BITMIME and PIPELINING, and the MAIL FROM parameters
// they let the client declare. Pure functions over the reply's bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct EhloOffers {
    bool startTls = false;
    bool authPlain = false;
    bool authLogin = false;
    bool size = false;
    bool eightBitMime = false;
    bool pipelining = false;
};

enum class AuthMechanism { None, Plain, Login };

// Reads the keyword lines after the first (the server's name); keywords and
// mechanisms in any letter case, "AUTH=" (an old form) as "AUTH ".
EhloOffers ParseEhloReply(std::string_view reply);
// PLAIN when offered, else LOGIN, else None.
AuthMechanism ChooseAuthMechanism(const EhloOffers &offers);
// The parameters after MAIL FROM:<...> for a message of `size` octets:
// " SIZE=n" when SIZE is offered, so that a server refuses a message over
// its limit before it is sent, and " BODY=8BITMIME" when 8BITMIME is.
std::string MailFromParameters(const EhloOffers &offers, std::size_t size);
