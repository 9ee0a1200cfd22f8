// The encodings of an SMTP login (RFC 4954): base64 (RFC 4648) and the
// PLAIN mechanism's initial response (RFC 4616). Pure functions.
#pragma once

#include "compose/base64.h"

#include <string>
#include <string_view>

// base64 of NUL, user, NUL, password: no authorisation identity.
std::string PlainCredentials(std::string_view user, std::string_view password);
