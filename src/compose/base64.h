// Base64 (RFC 4648, padded): how a login and an encoded header word carry
// their bytes. A pure function.
#pragma once

#include <string>
#include <string_view>

std::string Base64(std::string_view bytes);
