#include "workers/outbox.h"

#include "workers/control_events.h"

#include <mutex>

void QueueMessage(const CMapStringToString &message)
{
    {
        std::lock_guard lock(g_mutexOutbox);
        g_arrOutbox.push_back(std::make_unique<CQueuedMessage>(message));
    }
    g_eventSend.SetEvent();
}
