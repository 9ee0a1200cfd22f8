#include "support/plugin_api.h"

#include <dlfcn.h>

#include <stdexcept>

namespace {

template <typename Function>
void Bind(void *handle, const char *name, Function &slot)
{
    slot = reinterpret_cast<Function>(dlsym(handle, name));
    if (!slot)
        throw std::runtime_error(std::string("missing entry point ") + name);
}

}  // namespace

PluginLibrary::PluginLibrary(const std::string &path) : m_handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
{
    if (!m_handle)
        throw std::runtime_error(std::string("dlopen failed: ") + dlerror());
    Bind(m_handle, "OnLoad", m_api.OnLoad);
    Bind(m_handle, "OnClose", m_api.OnClose);
    Bind(m_handle, "Init", m_api.Init);
    Bind(m_handle, "Close", m_api.Close);
    Bind(m_handle, "Send", m_api.Send);
    Bind(m_handle, "Check", m_api.Check);
    Bind(m_handle, "Cancel", m_api.Cancel);
    Bind(m_handle, "PrepareExit", m_api.PrepareExit);
    Bind(m_handle, "OnSave", m_api.OnSave);
    Bind(m_handle, "OnRestore", m_api.OnRestore);
    Bind(m_handle, "CreateConfigDialog", m_api.CreateConfigDialog);
    Bind(m_handle, "OnOk", m_api.OnOk);
}

PluginLibrary::~PluginLibrary()
{
    if (m_handle)
        dlclose(m_handle);
}
