// The sender worker: delivers the queued messages, newest first, until the
// queue is empty or g_eventAbort asks it to stop. It runs on its own
// thread, started by the dispatcher; at most one runs at a time, and it is
// the only writer of g_currentMessage.
#pragma once

#include "platform/win_types.h"

DWORD SenderThread();
