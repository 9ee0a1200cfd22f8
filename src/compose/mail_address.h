// CMailAddress: one mail address with an optional display name. A value
// that the composer copies freely; owned by whoever holds it.
#pragma once

#include "platform/cstring.h"

class CMailAddress {
public:
    CMailAddress() = default;
    // Display name empty, address exactly the given text.
    explicit CMailAddress(const CString &address) : m_address(address) {}
    CMailAddress(const CString &displayName, const CString &address)
        : m_displayName(displayName), m_address(address) {}

    // "name <address>", or the bare address when there is no display name.
    CString GetDisplayText() const;

    CString m_displayName;
    CString m_address;
};
