// Pure parsing of address-list texts such as "Bob <x@y>; z@w": items end at
// "," or ";" (quotation marks mean nothing), and each item is either a bare
// address or a display name followed by an address in angle brackets.
#pragma once

#include "compose/mail_address.h"

#include <string_view>
#include <vector>

enum class AddressItem { Parsed, Empty, Malformed };

// The items of `text`, in order, split at every "," and ";"; items may be
// empty, and a text of n separators has n + 1 items.
std::vector<std::string_view> SplitAddressList(std::string_view text);

// Parses one item into `address` (both parts trimmed). Empty when the
// address part is empty; Malformed when a "<" has no ">" after it.
AddressItem ParseAddressItem(std::string_view item, CMailAddress &address);
