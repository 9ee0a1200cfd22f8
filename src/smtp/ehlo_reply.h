// What a server's EHLO reply offers that the client uses (RFC 5321 4.1.1.1,
// RFC 3207, RFC 4954): STARTTLS and the AUTH mechanisms. Pure functions
// over the reply's bytes.
#pragma once

#include <string_view>

struct EhloOffers {
    bool startTls = false;
    bool authPlain = false;
    bool authLogin = false;
};

enum class AuthMechanism { None, Plain, Login };

// Reads the keyword lines after the first (the server's name); keywords and
// mechanisms in any letter case, "AUTH=" (an old form) as "AUTH ".
EhloOffers ParseEhloReply(std::string_view reply);
// PLAIN when offered, else LOGIN, else None.
AuthMechanism ChooseAuthMechanism(const EhloOffers &offers);
