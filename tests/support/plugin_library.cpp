#include "support/plugin_api.h"

#include <dlfcn.h>

#include <stdexcept>

PluginLibrary::PluginLibrary(const std::string &path) : m_handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
{
    if (!m_handle)
        throw std::runtime_error(std::string("dlopen failed: ") + dlerror());
    if (const char *missing = MorvBindEntryPoints(m_api, [this](const char *name) { return dlsym(m_handle, name); })) {
        dlclose(m_handle);
        throw std::runtime_error(std::string("missing entry point ") + missing);
    }
}

PluginLibrary::~PluginLibrary()
{
    if (m_handle)
        dlclose(m_handle);
}

bool IsPluginMapped(const std::string &path)
{
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}
