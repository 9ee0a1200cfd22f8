#include "workers/outbox.h"

#include "platform/free_memory.h"
#include "settings/game_settings.h"
#include "workers/control_events.h"
#include "workers/worker_slot.h"

#include <algorithm>
#include <mutex>

void COutbox::Append(std::unique_ptr<CQueuedMessage> message)
{
    std::lock_guard<CMutex> lock(m_guard);
    m_entries.push_back(Entry{m_nextTicket++, std::move(message)});
}

std::optional<COutbox::Ticket> COutbox::MergeNewestInto(CMapStringToString &target)
{
    std::lock_guard<CMutex> lock(m_guard);
    if (m_entries.empty())
        return std::nullopt;
    const Entry &newest = m_entries.back();
    MergePairs(target, *newest.message);
    return newest.ticket;
}

void COutbox::Remove(Ticket ticket)
{
    std::unique_ptr<CQueuedMessage> removed;
    std::lock_guard<CMutex> lock(m_guard);
    // The sender's message is usually at or near the end.
    const auto found = std::find_if(m_entries.rbegin(), m_entries.rend(),
                                    [ticket](const Entry &entry) { return entry.ticket == ticket; });
    if (found == m_entries.rend())
        return;
    removed = std::move(found->message);
    m_entries.erase(std::next(found).base());
}

void COutbox::Clear()
{
    std::vector<Entry> discarded;
    {
        std::lock_guard<CMutex> lock(m_guard);
        discarded.swap(m_entries);
    }
    if (discarded.empty())
        return;
    discarded.clear();
    ReturnFreeMemory();
}

std::size_t COutbox::GetCount() const
{
    std::lock_guard<CMutex> lock(m_guard);
    return m_entries.size();
}

void QueueMessage(const CMapStringToString &message)
{
    // The copy is made before the lock: bodies can be tens of megabytes.
    auto queued = std::make_unique<CQueuedMessage>(message);
    g_arrOutbox.Append(std::move(queued));
    // A running sender takes the message without the dispatcher waking.
    if (!g_hSenderThread.AbsorbWakeUp())
        g_eventSend.SetEvent();
}
