#include "platform/host_window.h"

#include "platform/posix/message_queue.h"
#include "platform/posix/wake_word.h"
#include "platform/posix/window_object.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <unordered_map>

namespace {

// A series's life (a message sent alone is a series of one): queued, then
// (maybe) its sender asleep on it, then run or dropped. The sender sleeps
// on `state` alone: it is handed back without any lock, and only it wakes.
constexpr std::uint32_t QUEUED = 0;
constexpr std::uint32_t SLEEPING = 1;
constexpr std::uint32_t DONE = 2;

// Messages sent to a window of another thread, one of them queued or
// running at a time: the thread that runs one hands the next over as it
// returns. Until then, `current` and `lParam` belong to the thread that
// queued the current message or runs it.
struct PendingSeries {
    HWND window;
    UINT message;
    std::span<const MessageParameters> messages;
    std::size_t current = 0;
    LPARAM lParam = 0;                    // the current message's, taken as it was handed over
    LRESULT result = 0;                   // the last one's; written before `state` turns DONE
    PendingSeries *nextDropped = nullptr;  // a list of series the window's end dropped
    std::atomic<std::uint32_t> state{QUEUED};
};

std::mutex g_mutex;
std::unordered_map<HWND, std::unique_ptr<HWND__>> g_liveWindows;  // guarded by g_mutex
std::deque<PendingSeries *> g_pending;                            // guarded by g_mutex
// Moves on with every change a pumping thread waits for; the threads
// asleep on it are counted, so that a change wakes no one when none sleeps.
std::atomic<std::uint32_t> g_changes{0};
std::atomic<std::uint32_t> g_sleepers{0};

bool HasPendingFor(std::thread::id thread)
{
    for (const PendingSeries *pending : g_pending)
        if (pending->window->owner == thread)
            return true;
    return false;
}

bool HasPendingForSelf()
{
    std::lock_guard lock(g_mutex);
    return HasPendingFor(std::this_thread::get_id());
}

PendingSeries *TakePendingFor(std::thread::id thread)
{
    for (auto it = g_pending.begin(); it != g_pending.end(); ++it) {
        if ((*it)->window->owner == thread) {
            PendingSeries *pending = *it;
            g_pending.erase(it);
            return pending;
        }
    }
    return nullptr;
}

LPARAM TakeParameter(const MessageParameters &parameters) noexcept
{
    return parameters.handOver ? parameters.handOver() : parameters.lParam;
}

// Hands the series back to its sender, which may return at once: nothing
// of it is touched after its state turns DONE but its address.
void Complete(PendingSeries &pending, LRESULT result)
{
    const std::atomic<std::uint32_t> *state = &pending.state;
    pending.result = result;
    if (pending.state.exchange(DONE) == SLEEPING)
        wake_word::WakeOne(state);
}

// The window has gone: the messages after the current one are dropped,
// their parameters still taken in order, and the series ends with 0.
void Drop(PendingSeries &pending) noexcept
{
    while (++pending.current < pending.messages.size())
        TakeParameter(pending.messages[pending.current]);
    Complete(pending, 0);
}

// Takes the current message's parameter and queues it for the window's
// owner; false when the window has gone.
bool HandOver(PendingSeries &pending)
{
    pending.lParam = TakeParameter(pending.messages[pending.current]);
    {
        std::lock_guard lock(g_mutex);
        if (!g_liveWindows.count(pending.window))
            return false;
        g_pending.push_back(&pending);
    }
    message_queue::NotifyChange();
    return true;
}

// After the current message returned `result`: the next is handed over
// behind whatever was queued meanwhile, or the series ends.
void Returned(PendingSeries &pending, LRESULT result)
{
    if (pending.current + 1 == pending.messages.size())
        return Complete(pending, result);
    ++pending.current;
    if (!HandOver(pending))
        Drop(pending);
}

void AwaitCompletion(PendingSeries &pending)
{
    std::uint32_t state = QUEUED;
    if (!pending.state.compare_exchange_strong(state, SLEEPING))
        return;  // done meanwhile
    while (pending.state.load() != DONE)
        wake_word::SleepWhile(pending.state, SLEEPING, message_queue::Deadline::max());
}

// Sends a series to a window of another thread and returns when each
// message has run or been dropped.
void SendAcross(PendingSeries &pending)
{
    if (HandOver(pending))
        AwaitCompletion(pending);
    else
        Drop(pending);
}

// Sleeps until the change counter moves past `seen` (or a spurious wake-up).
void SleepOnChanges(std::uint32_t seen, message_queue::Deadline deadline)
{
    g_sleepers.fetch_add(1);
    wake_word::SleepWhile(g_changes, seen, deadline);
    g_sleepers.fetch_sub(1);
}

}  // namespace

namespace message_queue {

std::uint32_t Generation() { return g_changes.load(); }

void NotifyChange()
{
    g_changes.fetch_add(1);
    if (g_sleepers.load() != 0)
        wake_word::WakeAll(&g_changes);
}

void WaitForChange(std::uint32_t seen, Deadline deadline)
{
    while (g_changes.load() == seen && !HasPendingForSelf() && std::chrono::steady_clock::now() < deadline)
        SleepOnChanges(seen, deadline);
}

Deadline DeadlineAfter(DWORD timeout)
{
    if (timeout == INFINITE)
        return Deadline::max();
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout);
}

}  // namespace message_queue

namespace window_table {

HWND Add(std::unique_ptr<HWND__> window)
{
    HWND handle = window.get();
    std::lock_guard lock(g_mutex);
    g_liveWindows.emplace(handle, std::move(window));
    return handle;
}

std::unique_ptr<HWND__> Remove(HWND window) noexcept
{
    std::unique_ptr<HWND__> owned;
    PendingSeries *dropped = nullptr;  // the last one dropped first
    {
        std::lock_guard lock(g_mutex);
        const auto found = g_liveWindows.find(window);
        if (found == g_liveWindows.end())
            return owned;
        owned = std::move(found->second);
        g_liveWindows.erase(found);
        const auto kept = std::stable_partition(g_pending.begin(), g_pending.end(),
                                                [window](const PendingSeries *pending) { return pending->window != window; });
        for (auto it = kept; it != g_pending.end(); ++it) {
            (*it)->nextDropped = dropped;
            dropped = *it;
        }
        g_pending.erase(kept, g_pending.end());
    }
    // Their parameters are taken without the lock, as every hand-over's.
    while (dropped) {
        PendingSeries *next = dropped->nextDropped;
        Drop(*dropped);
        dropped = next;
    }
    message_queue::NotifyChange();
    return owned;
}

bool IsOwn(HWND window)
{
    std::lock_guard lock(g_mutex);
    return g_liveWindows.count(window) != 0 && window->owner == std::this_thread::get_id();
}

}  // namespace window_table

HWND CreateHostWindow(WindowProcedure procedure)
{
    auto window = std::make_unique<HWND__>();
    window->owner = std::this_thread::get_id();
    window->procedure = std::move(procedure);
    window->kind = WindowKind::Host;
    window->style = WS_VISIBLE;
    return window_table::Add(std::move(window));
}

void DestroyHostWindow(HWND window) { DestroyWindow(window); }

bool IsWindow(HWND window)
{
    std::lock_guard lock(g_mutex);
    return g_liveWindows.count(window) != 0;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::unique_lock lock(g_mutex);
    if (!g_liveWindows.count(window))
        return 0;
    if (window->owner == std::this_thread::get_id()) {
        WindowProcedure procedure = window->procedure;
        lock.unlock();
        return procedure(window, message, wParam, lParam);
    }
    lock.unlock();
    const MessageParameters parameters{wParam, lParam};
    PendingSeries pending{window, message, std::span(&parameters, 1)};
    SendAcross(pending);
    return pending.result;
}

void SendMessageSeries(HWND window, UINT message, std::span<const MessageParameters> series)
{
    if (series.empty())
        return;
    bool own;
    {
        std::lock_guard lock(g_mutex);
        own = g_liveWindows.count(window) != 0 && window->owner == std::this_thread::get_id();
    }
    if (own) {
        for (const MessageParameters &parameters : series)
            SendMessageA(window, message, parameters.wParam, TakeParameter(parameters));
        return;
    }
    PendingSeries pending{window, message, series};
    SendAcross(pending);
}

int PumpMessages()
{
    const auto self = std::this_thread::get_id();
    int count = 0;
    std::unique_lock lock(g_mutex);
    while (PendingSeries *pending = TakePendingFor(self)) {
        WindowProcedure procedure = pending->window->procedure;
        lock.unlock();
        const WPARAM wParam = pending->messages[pending->current].wParam;
        Returned(*pending, procedure(pending->window, pending->message, wParam, pending->lParam));
        ++count;
        lock.lock();
    }
    return count;
}

BOOL WaitMessage(DWORD timeout)
{
    const auto deadline = message_queue::DeadlineAfter(timeout);
    for (;;) {
        const std::uint32_t seen = g_changes.load();
        if (HasPendingForSelf())
            return TRUE;
        if (std::chrono::steady_clock::now() >= deadline)
            return FALSE;
        SleepOnChanges(seen, deadline);
    }
}
