// FakeMapiState: the script and the record of the fake Simple MAPI
// provider, one instance shared by the tests and every load of the fake.
// The provider's calls may come from any thread; all state is guarded.
#pragma once

#include "mail/mapi.h"
#include "platform/win_types.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

enum class FakeMapiFunction { Logon, Logoff, ResolveName, SendMail };

class FakeMapiState {
public:
    static FakeMapiState &Instance();

    void Reset();
    // Results of the next calls of `function`, in order; once they run out,
    // calls succeed.
    void Script(FakeMapiFunction function, std::vector<std::uint32_t> results);
    // The name a successful MAPIResolveName hands back; empty: the name asked.
    void SetResolvedName(std::string name);
    // What MAPILogon writes into the session handle, success or not.
    void SetSessionHandle(LHANDLE session);
    // Calls of `function` hang (as a provider that waits for its mail
    // program without a bound) until Release, at most HOLD_LIMIT_MS.
    void Hold(FakeMapiFunction function);
    void Release();
    // Each waits up to `timeoutMs`; false when the time ran out.
    bool WaitUntilHeld(DWORD timeoutMs) const;
    bool WaitForUnloads(int count, DWORD timeoutMs) const;
    bool WaitForCalls(std::size_t count, DWORD timeoutMs) const;
    static constexpr DWORD HOLD_LIMIT_MS = 30000;

    // For the provider: the scripted result, once a hold is released.
    std::uint32_t NextResult(FakeMapiFunction function);
    std::string ResolvedName(const std::string &asked) const;
    LHANDLE SessionHandle() const;
    void Record(std::string call);
    void NoteLoad(bool loaded);
    lpMapiRecipDesc NewRecipient(const std::string &name);
    // False when `buffer` is none that NewRecipient handed out.
    bool FreeRecipient(void *buffer);

    std::vector<std::string> Calls() const;
    int Loads() const;
    int Unloads() const;
    int OutstandingBuffers() const;

private:
    bool WaitFor(std::unique_lock<std::mutex> &lock, DWORD timeoutMs, const std::function<bool()> &done) const;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::array<std::deque<std::uint32_t>, 4> m_results;  // all guarded by m_mutex
    std::string m_resolvedName;
    LHANDLE m_session = 42;
    std::vector<std::string> m_calls;
    int m_loads = 0;
    int m_unloads = 0;
    std::set<void *> m_buffers;
    std::array<bool, 4> m_holds{};
    int m_held = 0;
};
