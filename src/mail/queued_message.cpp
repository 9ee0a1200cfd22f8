#include "mail/queued_message.h"

CQueuedMessage::CQueuedMessage(const CMapStringToString &message) : CMapStringToString(message) {}

CQueuedMessage::~CQueuedMessage() = default;
