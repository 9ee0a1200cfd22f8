#include "platform/resources.h"

#include "platform/cstring.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

thread_local HINSTANCE t_resourceHandle = nullptr;

ResourceLanguage InitialLanguage() { return LanguageFromEnvironment(); }

std::atomic<ResourceLanguage> &Language()
{
    static std::atomic<ResourceLanguage> language{InitialLanguage()};
    return language;
}

}  // namespace

HINSTANCE AfxGetResourceHandle() { return t_resourceHandle; }

void AfxSetResourceHandle(HINSTANCE module) { t_resourceHandle = module; }

ResourceLanguage GetResourceLanguage() { return Language().load(); }

void SetResourceLanguage(ResourceLanguage language) { Language().store(language); }

ResourceLanguage LanguageFromEnvironment()
{
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char *value = std::getenv(variable);
        if (value && *value)
            return std::strncmp(value, "ru", 2) == 0 ? ResourceLanguage::Russian : ResourceLanguage::English;
    }
    return ResourceLanguage::English;
}

const char *FindResourceString(HINSTANCE module, UINT id)
{
    if (!module)
        return nullptr;
    const auto table = GetResourceLanguage() == ResourceLanguage::Russian ? module->russian : module->english;
    for (const StringTableEntry &entry : table)
        if (entry.id == id)
            return entry.text;
    return nullptr;
}

BOOL CString::LoadString(UINT id)
{
    const char *text = FindResourceString(AfxGetResourceHandle(), id);
    *this = CString(text);
    return text != nullptr;
}
