// CSessionTable: the provider's open Simple MAPI sessions and the sendmail
// programs running for each. One per loaded provider; every exported
// function may use it from any thread.
#pragma once

#include "mail/mapi.h"

#include <map>
#include <mutex>
#include <set>

class CSessionTable {
public:
    // A new handle, never 0.
    LHANDLE Open();
    // False when `session` is not open. Kills every program still running
    // for it: its caller has given up.
    bool Close(LHANDLE session);
    // Session 0 stands for an implicit logon and is always usable.
    bool IsUsable(LHANDLE session) const;

    // Notes the program (process group) `group` as running for `session`;
    // false when the session is not usable any more.
    bool AddProgram(LHANDLE session, int group);
    // Forgets the program; false when Close has killed it meanwhile.
    bool RemoveProgram(LHANDLE session, int group);

private:
    mutable std::mutex m_mutex;
    std::set<LHANDLE> m_open;                // guarded by m_mutex
    LHANDLE m_next = 1;                      // guarded by m_mutex
    std::multimap<LHANDLE, int> m_programs;  // guarded by m_mutex
};
