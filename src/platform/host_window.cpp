#include "platform/host_window.h"

#include "platform/message_queue.h"
#include "platform/window_object.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <memory>
#include <unordered_map>

namespace {

struct PendingMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;
};

std::mutex g_mutex;
std::condition_variable g_changed;
std::uint64_t g_generation = 0;                // guarded by g_mutex
std::unordered_map<HWND, std::unique_ptr<HWND__>> g_liveWindows;  // guarded by g_mutex
std::deque<PendingMessage *> g_pending;        // guarded by g_mutex

bool HasPendingFor(std::thread::id thread)
{
    for (const PendingMessage *pending : g_pending)
        if (pending->window->owner == thread)
            return true;
    return false;
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

// Caller holds g_mutex and notifies g_changed once it has let go of it, so
// that the woken sender does not block again on the lock it needs.
void Complete(PendingMessage *pending, LRESULT result)
{
    pending->result = result;
    pending->done = true;
    ++g_generation;
}

}  // namespace

namespace message_queue {

std::uint64_t Generation()
{
    std::lock_guard lock(g_mutex);
    return g_generation;
}

void NotifyChange()
{
    std::lock_guard lock(g_mutex);
    ++g_generation;
    g_changed.notify_all();
}

void WaitForChange(std::uint64_t seen, Deadline deadline)
{
    const auto self = std::this_thread::get_id();
    std::unique_lock lock(g_mutex);
    g_changed.wait_until(lock, deadline, [&] { return g_generation != seen || HasPendingFor(self); });
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
    std::lock_guard lock(g_mutex);
    const auto found = g_liveWindows.find(window);
    if (found == g_liveWindows.end())
        return owned;
    owned = std::move(found->second);
    g_liveWindows.erase(found);
    for (auto it = g_pending.begin(); it != g_pending.end();) {
        if ((*it)->window == window) {
            Complete(*it, 0);
            it = g_pending.erase(it);
        } else {
            ++it;
        }
    }
    g_changed.notify_all();
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
    g_pending.push_back(&pending);
    ++g_generation;
    lock.unlock();
    g_changed.notify_all();
    lock.lock();
    g_changed.wait(lock, [&] { return pending.done; });
    return pending.result;
}

int PumpMessages()
{
    const auto self = std::this_thread::get_id();
    int count = 0;
    std::unique_lock lock(g_mutex);
    while (PendingMessage *pending = TakePendingFor(self)) {
        WindowProcedure procedure = pending->window->procedure;
        lock.unlock();
        const LRESULT result = procedure(pending->window, pending->message, pending->wParam, pending->lParam);
        lock.lock();
        Complete(pending, result);
        lock.unlock();
        g_changed.notify_all();
        lock.lock();
        ++count;
    }
    return count;
}

BOOL WaitMessage(DWORD timeout)
{
    const auto self = std::this_thread::get_id();
    std::unique_lock lock(g_mutex);
    return g_changed.wait_until(lock, message_queue::DeadlineAfter(timeout), [&] { return HasPendingFor(self); });
}
