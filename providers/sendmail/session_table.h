// CSessionTable: the provider's open Simple MAPI sessions. One per loaded
// provider; every exported function may use it from any thread.
#pragma once

#include "mail/mapi.h"

#include <mutex>
#include <set>

class CSessionTable {
public:
    // A new handle, never 0.
    LHANDLE Open();
    // False when `session` is not open.
    bool Close(LHANDLE session);
    // Session 0 stands for an implicit logon and is always usable.
    bool IsUsable(LHANDLE session) const;

private:
    mutable std::mutex m_mutex;
    std::set<LHANDLE> m_open;  // guarded by m_mutex
    LHANDLE m_next = 1;        // guarded by m_mutex
};
