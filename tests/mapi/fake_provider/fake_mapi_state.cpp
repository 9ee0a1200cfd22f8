#include "fake_mapi_state.h"

#include <cstdlib>
#include <cstring>
#include <new>

FakeMapiState &FakeMapiState::Instance()
{
    static FakeMapiState state;
    return state;
}

void FakeMapiState::Reset()
{
    std::lock_guard lock(m_mutex);
    for (auto &results : m_results)
        results.clear();
    m_resolvedName.clear();
    m_session = 42;
    m_calls.clear();
    m_loads = m_unloads = 0;
    m_holds = {};
    m_held = 0;
    for (void *buffer : m_buffers)
        std::free(buffer);
    m_buffers.clear();
}

void FakeMapiState::Script(FakeMapiFunction function, std::vector<std::uint32_t> results)
{
    std::lock_guard lock(m_mutex);
    m_results[static_cast<std::size_t>(function)].assign(results.begin(), results.end());
}

void FakeMapiState::SetResolvedName(std::string name)
{
    std::lock_guard lock(m_mutex);
    m_resolvedName = std::move(name);
}

void FakeMapiState::SetSessionHandle(LHANDLE session)
{
    std::lock_guard lock(m_mutex);
    m_session = session;
}

void FakeMapiState::Hold(FakeMapiFunction function)
{
    std::lock_guard lock(m_mutex);
    m_holds[static_cast<std::size_t>(function)] = true;
}

void FakeMapiState::Release()
{
    std::lock_guard lock(m_mutex);
    m_holds = {};
    m_changed.notify_all();
}

bool FakeMapiState::WaitFor(std::unique_lock<std::mutex> &lock, DWORD timeoutMs,
                            const std::function<bool()> &done) const
{
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), done);
}

bool FakeMapiState::WaitUntilHeld(DWORD timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return WaitFor(lock, timeoutMs, [this] { return m_held > 0; });
}

bool FakeMapiState::WaitForUnloads(int count, DWORD timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return WaitFor(lock, timeoutMs, [this, count] { return m_unloads >= count; });
}

bool FakeMapiState::WaitForCalls(std::size_t count, DWORD timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return WaitFor(lock, timeoutMs, [this, count] { return m_calls.size() >= count; });
}

std::uint32_t FakeMapiState::NextResult(FakeMapiFunction function)
{
    std::unique_lock lock(m_mutex);
    const auto index = static_cast<std::size_t>(function);
    if (m_holds[index]) {
        ++m_held;
        m_changed.notify_all();
        WaitFor(lock, HOLD_LIMIT_MS, [this, index] { return !m_holds[index]; });
        --m_held;
    }
    auto &results = m_results[index];
    if (results.empty())
        return SUCCESS_SUCCESS;
    const std::uint32_t result = results.front();
    results.pop_front();
    return result;
}

std::string FakeMapiState::ResolvedName(const std::string &asked) const
{
    std::lock_guard lock(m_mutex);
    return m_resolvedName.empty() ? asked : m_resolvedName;
}

LHANDLE FakeMapiState::SessionHandle() const
{
    std::lock_guard lock(m_mutex);
    return m_session;
}

void FakeMapiState::Record(std::string call)
{
    std::lock_guard lock(m_mutex);
    m_calls.push_back(std::move(call));
    m_changed.notify_all();
}

void FakeMapiState::NoteLoad(bool loaded)
{
    // Notified under the lock: a provider unloaded on a thread nobody joins
    // touches the state for the last time before a waiter sees the count.
    std::lock_guard lock(m_mutex);
    ++(loaded ? m_loads : m_unloads);
    m_changed.notify_all();
}

lpMapiRecipDesc FakeMapiState::NewRecipient(const std::string &name)
{
    void *block = std::malloc(sizeof(MapiRecipDesc) + name.size() + 1);
    if (!block)
        return nullptr;
    char *text = static_cast<char *>(block) + sizeof(MapiRecipDesc);
    std::memcpy(text, name.c_str(), name.size() + 1);
    auto *recipient = new (block) MapiRecipDesc{};
    recipient->ulRecipClass = MAPI_TO;
    recipient->lpszName = text;
    std::lock_guard lock(m_mutex);
    m_buffers.insert(block);
    return recipient;
}

bool FakeMapiState::FreeRecipient(void *buffer)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_buffers.erase(buffer))
            return false;
    }
    std::free(buffer);
    return true;
}

std::vector<std::string> FakeMapiState::Calls() const
{
    std::lock_guard lock(m_mutex);
    return m_calls;
}

int FakeMapiState::Loads() const
{
    std::lock_guard lock(m_mutex);
    return m_loads;
}

int FakeMapiState::Unloads() const
{
    std::lock_guard lock(m_mutex);
    return m_unloads;
}

int FakeMapiState::OutstandingBuffers() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_buffers.size());
}
