// COutbox: the outgoing queue g_arrOutbox. Send appends on the host's
// thread; the sender takes the newest; the canceller empties it. It owns
// its messages, and every member holds the lock it was given
// (g_mutexOutbox) for its own duration only.
#pragma once

#include "mail/queued_message.h"
#include "platform/mutex.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class CMapStringToString;

class COutbox {
public:
    // Names one queued message for the lifetime of the queue; never reused,
    // unlike the message's address.
    using Ticket = std::uint64_t;

    explicit COutbox(CMutex &guard) : m_guard(guard) {}
    COutbox(const COutbox &) = delete;
    COutbox &operator=(const COutbox &) = delete;

    void Append(std::unique_ptr<CQueuedMessage> message);
    // Merges the newest message into `target` under the lock, so that it
    // cannot be deleted meanwhile; nothing when the queue is empty.
    std::optional<Ticket> MergeNewestInto(CMapStringToString &target);
    // Removes and deletes the message if it is still queued.
    void Remove(Ticket ticket);
    // Removes and deletes every message, and gives the freed memory back.
    void Clear();
    std::size_t GetCount() const;

private:
    struct Entry {
        Ticket ticket;
        std::unique_ptr<CQueuedMessage> message;
    };

    CMutex &m_guard;
    std::vector<Entry> m_entries;  // guarded by m_guard
    Ticket m_nextTicket = 1;       // guarded by m_guard
};

extern COutbox g_arrOutbox;
extern CMutex g_mutexOutbox;

// Send: queues a copy of the host's message and hands the wake-up to the
// running sender, or else sets g_eventSend.
void QueueMessage(const CMapStringToString &message);
