#include "platform/posix/wake_word.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <climits>
#include <ctime>

namespace {

void Wake(const std::atomic<std::uint32_t> *word, int count)
{
    syscall(SYS_futex, word, FUTEX_WAKE_PRIVATE, count, nullptr, nullptr, 0);
}

}  // namespace

namespace wake_word {

void SleepWhile(const std::atomic<std::uint32_t> &word, std::uint32_t seen, message_queue::Deadline deadline)
{
    timespec relative{};
    const timespec *timeout = nullptr;
    if (deadline != message_queue::Deadline::max()) {
        const auto left = std::max(deadline - std::chrono::steady_clock::now(), message_queue::Deadline::duration());
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        relative.tv_sec = static_cast<time_t>(seconds.count());
        relative.tv_nsec = static_cast<long>(std::chrono::nanoseconds(left - seconds).count());
        timeout = &relative;
    }
    syscall(SYS_futex, &word, FUTEX_WAIT_PRIVATE, seen, timeout, nullptr, 0);
}

void WakeOne(const std::atomic<std::uint32_t> *word) { Wake(word, 1); }

void WakeAll(const std::atomic<std::uint32_t> *word) { Wake(word, INT_MAX); }

}  // namespace wake_word
