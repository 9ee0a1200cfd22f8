#include "mail/provider_call.h"

#include "mail/mapi.h"
#include "platform/event.h"
#include "platform/worker_thread.h"

namespace {

// What the caller and the call's thread share; it lives as long as either.
struct CallState {
    ProviderLibrary library;
    std::function<std::uint32_t()> call;
    CEvent done;
    std::uint32_t result = MAPI_E_FAILURE;  // read after the thread's end
};

bool Requested(const CEvent *abort) { return abort && abort->IsSignalled(); }

std::uint32_t GiveUp()
{
    // The call's thread will return into this library's code whenever the
    // provider lets it, perhaps after the host has unloaded the plug-in.
    KeepLibraryLoaded(reinterpret_cast<const void *>(&RunProviderCall));
    return MAPI_E_USER_ABORT;
}

std::unique_ptr<CWorkerThread> StartCall(const std::shared_ptr<CallState> &state)
{
    if (!state->done.IsValid())
        return nullptr;
    return CWorkerThread::Start([state]() -> DWORD {
        state->result = state->call();
        state->done.SetEvent();
        return 0;
    });
}

}  // namespace

ProviderLibrary LoadProviderLibrary(const char *fileName)
{
    HMODULE module = LoadLibraryA(fileName);
    if (!module)
        return nullptr;
    return ProviderLibrary(module, [](HMODULE loaded) { FreeLibrary(loaded); });
}

std::uint32_t RunProviderCall(const ProviderLibrary &library, std::function<std::uint32_t()> call,
                              const CEvent *abort, AfterAbort afterAbort)
{
    if (afterAbort == AfterAbort::Skip && Requested(abort))
        return MAPI_E_USER_ABORT;
    auto state = std::make_shared<CallState>();
    state->library = library;
    state->call = std::move(call);
    const auto thread = StartCall(state);
    if (!thread)
        return state->call();
    // A wait that fails leaves nothing to wait on but the call itself; a
    // call that has returned counts even when the abort came as well.
    const CEvent *watched[] = {&state->done, abort};
    if (WatchEvents(watched, abort ? 2 : 1, INFINITE) != WAIT_FAILED && !state->done.IsSignalled())
        return GiveUp();
    // The end of the thread, not the event, orders the result before its read.
    thread->Wait(INFINITE);
    return state->result;
}
