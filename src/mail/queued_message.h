// CQueuedMessage: the copy of a host message that waits in the outgoing
// queue. Owned by the queue; whoever removes it deletes it.
#pragma once

#include "platform/map_string_to_string.h"

class CQueuedMessage : public CMapStringToString {
public:
    explicit CQueuedMessage(const CMapStringToString &message);
    ~CQueuedMessage() override;
};
