// The process-wide queue of messages sent across threads to host windows,
// and its change signal. Internal to the platform layer: host_window.cpp
// queues and runs messages, worker_thread.cpp wakes pumping waiters when a
// thread ends.
#pragma once

#include "platform/win_types.h"

#include <chrono>
#include <cstdint>

namespace message_queue {

using Deadline = std::chrono::steady_clock::time_point;

// A counter that moves on with every change a pumping waiter cares about.
std::uint32_t Generation();
// Moves the counter on and wakes every waiter.
void NotifyChange();
// Waits until a message is queued for the calling thread, the counter has
// moved past `seen`, or `deadline` has passed.
void WaitForChange(std::uint32_t seen, Deadline deadline);
// Deadline `timeout` ms from now (far future for INFINITE).
Deadline DeadlineAfter(DWORD timeout);

}  // namespace message_queue
