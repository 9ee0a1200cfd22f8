// Resources and the per-thread resource handle.
//
// On Windows a module's resources are real resources (string tables,
// dialog templates, version block) and HINSTANCE is the module's instance
// handle. Here they are compiled in: one ResourceModule holds a module's
// string tables in English and Russian and its dialog templates, and
// HINSTANCE designates one.
//
// Each thread has a current resource handle (null until set: the host's own
// module), which CString::LoadString and dialog creation read; code that
// switches it restores it on every path (ResourceHandleSwitch).
//
// The language of the string tables is process-wide: the user's until a
// host chooses one. The user's is the user interface language on Windows;
// here it is taken from the locale (LC_ALL, LC_MESSAGES, LANG: Russian when
// the first one set starts with "ru", else English). Texts are Windows-1251
// on both.
#pragma once

#include "platform/win_types.h"

#include <span>

#if !defined(_WIN32)
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
#endif

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
// The user's language, as the process starts with it.
ResourceLanguage UserResourceLanguage();

#if !defined(_WIN32)
// The language that the locale variables choose; `LC_ALL`, then
// `LC_MESSAGES`, then `LANG`, the first one set and non-empty decides.
ResourceLanguage LanguageFromEnvironment();

// The string `id` of `module` in the current language; null when absent.
const char *FindResourceString(HINSTANCE module, UINT id);
#endif
