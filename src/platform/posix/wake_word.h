// Wake words: a 32-bit atomic that a thread sleeps on while it holds a
// value the thread saw, and that whoever changes it wakes the sleepers of
// (a Linux futex). The lightest hand-over from one thread to another, for
// the host window's message queue: no lock is taken to sleep or to wake.
//
// Ordering: the change is an atomic store or read-modify-write on the word,
// made before the wake-up; a sleeper re-reads the word (acquire) when it
// wakes, and may also wake without a change, so it always checks again.
// Lifetime: a wake-up names the word only by its address, which the system
// does not read: it may follow the end of the word's owner (a sender that
// saw its message done and went on).
#pragma once

#include "platform/posix/message_queue.h"

#include <atomic>
#include <cstdint>

namespace wake_word {

// Sleeps while `word` holds `seen`, until a wake-up on it or `deadline`.
void SleepWhile(const std::atomic<std::uint32_t> &word, std::uint32_t seen, message_queue::Deadline deadline);
void WakeOne(const std::atomic<std::uint32_t> *word);
void WakeAll(const std::atomic<std::uint32_t> *word);

}  // namespace wake_word
