#include "platform/resources.h"

#include <atomic>

namespace {

thread_local HINSTANCE t_resourceHandle = nullptr;

std::atomic<ResourceLanguage> &Language()
{
    static std::atomic<ResourceLanguage> language{UserResourceLanguage()};
    return language;
}

}  // namespace

HINSTANCE AfxGetResourceHandle() { return t_resourceHandle; }

void AfxSetResourceHandle(HINSTANCE module) { t_resourceHandle = module; }

ResourceLanguage GetResourceLanguage() { return Language().load(); }

void SetResourceLanguage(ResourceLanguage language) { Language().store(language); }
