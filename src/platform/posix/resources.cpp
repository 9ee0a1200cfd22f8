#include "platform/resources.h"

#include "platform/cstring.h"

#include <cstdlib>
#include <cstring>

ResourceLanguage UserResourceLanguage() { return LanguageFromEnvironment(); }

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

// As the system's string loader, an empty entry counts as none.
BOOL CString::LoadString(UINT id)
{
    const char *text = FindResourceString(AfxGetResourceHandle(), id);
    *this = CString(text);
    return !IsEmpty();
}
