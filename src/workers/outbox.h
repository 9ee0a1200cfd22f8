// The outgoing queue. Send appends; the sender takes the newest (the end);
// the canceller empties it from the end. The queue owns its messages.
#pragma once

#include "mail/queued_message.h"
#include "platform/mutex.h"

#include <memory>
#include <vector>

using Outbox = std::vector<std::unique_ptr<CQueuedMessage>>;

extern Outbox g_arrOutbox;  // guarded by g_mutexOutbox
extern CMutex g_mutexOutbox;

// Send: queues a copy of the host's message and sets g_eventSend.
void QueueMessage(const CMapStringToString &message);
