// Calls into the Simple MAPI provider library, each on a thread of its own,
// so that the sender can give up on its abort event while the provider still
// works (a provider may wait for its mail program without a bound). A call
// owns whatever it hands to the provider and holds the library, so a call
// given up on touches nothing freed and keeps the provider loaded until it
// returns; the plug-in's own code stays mapped for it as well. Any thread may
// use these; a call reports only through its result.
#pragma once

#include "platform/library.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>

class CEvent;

// A loaded library held by reference: FreeLibrary when the last holder lets go.
using ProviderLibrary = std::shared_ptr<std::remove_pointer_t<HMODULE>>;

// LoadLibraryA held by reference; null when it fails.
ProviderLibrary LoadProviderLibrary(const char *fileName);

// What a call does once the abort is set before it starts: Skip answers at
// once without calling; Start calls all the same (a logoff that tells the
// provider to stop waiting) but does not wait.
enum class AfterAbort { Skip, Start };

// Runs `call` on a thread of its own that holds `library`, and waits for its
// result or for `abort` (may be null). MAPI_E_USER_ABORT when the abort came
// first: the call then runs on by itself, unwatched, and whatever it writes
// must be owned by it. Without a thread of its own the call runs on the
// caller's, unwatched.
std::uint32_t RunProviderCall(const ProviderLibrary &library, std::function<std::uint32_t()> call,
                              const CEvent *abort, AfterAbort afterAbort = AfterAbort::Skip);
