#include "session_table.h"

LHANDLE CSessionTable::Open()
{
    std::lock_guard lock(m_mutex);
    while (m_next == 0 || m_open.count(m_next))
        ++m_next;
    m_open.insert(m_next);
    return m_next++;
}

bool CSessionTable::Close(LHANDLE session)
{
    std::lock_guard lock(m_mutex);
    return m_open.erase(session) != 0;
}

bool CSessionTable::IsUsable(LHANDLE session) const
{
    std::lock_guard lock(m_mutex);
    return session == 0 || m_open.count(session) != 0;
}
