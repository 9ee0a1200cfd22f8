// Compiled-in resources and the per-thread resource handle.
//
// A module's resources are one ResourceModule: its string tables in English
// and Russian and its dialog templates. HINSTANCE designates one. Each thread
// has a current resource handle (null until set: the host's own module),
// which CString::LoadString and dialog creation read; code that switches it
// restores it on every path (ResourceHandleSwitch).
//
// The language of the string tables is process-wide: taken from the user's
// locale (LC_ALL, LC_MESSAGES, LANG: Russian when the first one set starts
// with "ru", else English) until a host chooses one.
#pragma once

#include "platform/win_types.h"

#include <span>

struct StringTableEntry {
    UINT id;
    const char *text;  // 8-bit, in the host's ANSI code page
};

struct DialogTemplate;

struct ResourceModule {
    const char *name;
    std::span<const StringTableEntry> english;
    std::span<const StringTableEntry> russian;
    std::span<const DialogTemplate *const> dialogs;
};

using HINSTANCE = const ResourceModule *;

HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);

// Sets the calling thread's resource handle for its lifetime and puts the
// previous one back when it ends.
class ResourceHandleSwitch {
public:
    explicit ResourceHandleSwitch(HINSTANCE module) : m_saved(AfxGetResourceHandle())
    {
        AfxSetResourceHandle(module);
    }
    ~ResourceHandleSwitch() { AfxSetResourceHandle(m_saved); }
    ResourceHandleSwitch(const ResourceHandleSwitch &) = delete;
    ResourceHandleSwitch &operator=(const ResourceHandleSwitch &) = delete;

private:
    HINSTANCE m_saved;
};

enum class ResourceLanguage { English, Russian };

ResourceLanguage GetResourceLanguage();
void SetResourceLanguage(ResourceLanguage language);
// The language that the locale variables choose; `LC_ALL`, then
// `LC_MESSAGES`, then `LANG`, the first one set and non-empty decides.
ResourceLanguage LanguageFromEnvironment();

// The string `id` of `module` in the current language; null when absent.
const char *FindResourceString(HINSTANCE module, UINT id);
