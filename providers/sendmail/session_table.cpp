#include "session_table.h"

#include "sendmail_program.h"

#include <algorithm>

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
    if (m_open.erase(session) == 0)
        return false;
    // Under the lock, so that no program is reaped between the kill and
    // the ID it is killed by (CProgramWatch).
    const auto [first, last] = m_programs.equal_range(session);
    std::for_each(first, last, [](const auto &program) { KillProgram(program.second); });
    m_programs.erase(first, last);
    return true;
}

bool CSessionTable::IsUsable(LHANDLE session) const
{
    std::lock_guard lock(m_mutex);
    return session == 0 || m_open.count(session) != 0;
}

bool CSessionTable::AddProgram(LHANDLE session, int group)
{
    std::lock_guard lock(m_mutex);
    if (session != 0 && m_open.count(session) == 0)
        return false;
    m_programs.emplace(session, group);
    return true;
}

bool CSessionTable::RemoveProgram(LHANDLE session, int group)
{
    std::lock_guard lock(m_mutex);
    const auto [first, last] = m_programs.equal_range(session);
    const auto found = std::find_if(first, last, [group](const auto &program) { return program.second == group; });
    if (found == last)
        return false;
    m_programs.erase(found);
    return true;
}
