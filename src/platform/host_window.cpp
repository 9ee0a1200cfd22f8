#include "platform/host_window.h"

#include "platform/message_queue.h"
#include "platform/wake_word.h"
#include "platform/window_object.h"

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

// A sent message's life: queued, then (maybe) its sender asleep on it, then
// run or dropped. The sender sleeps on `state` alone: it is handed back
// without any lock, and only it wakes.
constexpr std::uint32_t QUEUED = 0;
constexpr std::uint32_t SLEEPING = 1;
constexpr std::uint32_t DONE = 2;

struct PendingMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;                   // written before `state` turns DONE
    std::atomic<std::uint32_t> state{QUEUED};
};

std::mutex g_mutex;
std::unordered_map<HWND, std::unique_ptr<HWND__>> g_liveWindows;  // guarded by g_mutex
std::deque<PendingMessage *> g_pending;                           // guarded by g_mutex
// Moves on with every change a pumping thread waits for; the threads
// asleep on it are counted, so that a change wakes no one when none sleeps.
std::atomic<std::uint32_t> g_changes{0};
std::atomic<std::uint32_t> g_sleepers{0};

bool HasPendingFor(std::thread::id thread)
{
    for (const PendingMessage *pending : g_pending)
        if (pending->window->owner == thread)
            return true;
    return false;
}

bool HasPendingForSelf()
{
    std::lock_guard lock(g_mutex);
    return HasPendingFor(std::this_thread::get_id());
}

PendingMessage *TakePendingFor(std::thread::id thread)
{
    for (auto it = g_pending.begin(); it != g_pending.end(); ++it) {
        if ((*it)->window->owner == thread) {
            PendingMessage *pending = *it;
            g_pending.erase(it);
            return pending;
        }
    }
    return nullptr;
}

// Hands the message back to its sender, which may return at once: nothing
// of it is touched after its state turns DONE but its address.
void Complete(PendingMessage &pending, LRESULT result)
{
    const std::atomic<std::uint32_t> *state = &pending.state;
    pending.result = result;
    if (pending.state.exchange(DONE) == SLEEPING)
        wake_word::WakeOne(state);
}

void AwaitCompletion(PendingMessage &pending)
{
    std::uint32_t state = QUEUED;
    if (!pending.state.compare_exchange_strong(state, SLEEPING))
        return;  // done meanwhile
    while (pending.state.load() != DONE)
        wake_word::SleepWhile(pending.state, SLEEPING, message_queue::Deadline::max());
}

// Queues `messages` for their windows' owner together, with `lock` on
// g_mutex held, and returns when each has run or been dropped: waiting for
// each in turn, since a message still running keeps its payload in use even
// when the window's end has dropped the ones after it.
void HandOver(std::span<PendingMessage> messages, std::unique_lock<std::mutex> &lock)
{
    for (PendingMessage &pending : messages)
        g_pending.push_back(&pending);
    lock.unlock();
    message_queue::NotifyChange();
    for (PendingMessage &pending : messages)
        AwaitCompletion(pending);
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
    {
        std::lock_guard lock(g_mutex);
        const auto found = g_liveWindows.find(window);
        if (found == g_liveWindows.end())
            return owned;
        owned = std::move(found->second);
        g_liveWindows.erase(found);
        const auto dropped = std::stable_partition(g_pending.begin(), g_pending.end(),
                                                   [window](const PendingMessage *pending) { return pending->window != window; });
        std::for_each(dropped, g_pending.end(), [](PendingMessage *pending) { Complete(*pending, 0); });
        g_pending.erase(dropped, g_pending.end());
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
    PendingMessage pending{window, message, wParam, lParam};
    HandOver(std::span(&pending, 1), lock);
    return pending.result;
}

void SendMessageSeries(HWND window, UINT message, std::span<const MessageParameters> series)
{
    std::unique_lock lock(g_mutex);
    if (!g_liveWindows.count(window))
        return;
    if (window->owner == std::this_thread::get_id()) {
        lock.unlock();
        for (const MessageParameters &parameters : series)
            SendMessageA(window, message, parameters.wParam, parameters.lParam);
        return;
    }
    const auto pending = std::make_unique<PendingMessage[]>(series.size());
    for (std::size_t i = 0; i < series.size(); ++i) {
        pending[i].window = window;
        pending[i].message = message;
        pending[i].wParam = series[i].wParam;
        pending[i].lParam = series[i].lParam;
    }
    HandOver(std::span(pending.get(), series.size()), lock);
}

int PumpMessages()
{
    const auto self = std::this_thread::get_id();
    int count = 0;
    std::unique_lock lock(g_mutex);
    while (PendingMessage *pending = TakePendingFor(self)) {
        WindowProcedure procedure = pending->window->procedure;
        lock.unlock();
        Complete(*pending, procedure(pending->window, pending->message, pending->wParam, pending->lParam));
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
