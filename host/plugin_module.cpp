#include "host/plugin_module.h"

#include <dlfcn.h>

#include <string>
#include <system_error>

template <typename Function>
void PluginModule::Bind(const char *name, Function &slot)
{
    slot = reinterpret_cast<Function>(dlsym(m_handle, name));
    if (!slot)
        throw PluginError(m_path.string() + " is no MORVTRANSPORT plug-in: it lacks the entry point " + name);
}

PluginModule::PluginModule(const std::filesystem::path &path)
    : m_path(path), m_handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
{
    if (!m_handle)
        throw PluginError(std::string("cannot load the plug-in: ") + dlerror());
    try {
        Bind("OnLoad", m_api.OnLoad);
        Bind("OnClose", m_api.OnClose);
        Bind("Init", m_api.Init);
        Bind("Close", m_api.Close);
        Bind("Send", m_api.Send);
        Bind("Check", m_api.Check);
        Bind("Cancel", m_api.Cancel);
        Bind("PrepareExit", m_api.PrepareExit);
        Bind("OnSave", m_api.OnSave);
        Bind("OnRestore", m_api.OnRestore);
        Bind("CreateConfigDialog", m_api.CreateConfigDialog);
        Bind("OnOk", m_api.OnOk);
    } catch (...) {
        dlclose(m_handle);
        throw;
    }
}

PluginModule::~PluginModule() { dlclose(m_handle); }

std::filesystem::path PluginModule::DefaultPath()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path folder = program.parent_path();
        for (const auto &candidate : {folder / MORV_PLUGIN_FILE_NAME, folder / MORV_BIN_TO_LIB / MORV_PLUGIN_FILE_NAME})
            if (std::filesystem::exists(candidate, error))
                return candidate.lexically_normal();
    }
    return MORV_BUILD_PLUGIN_PATH;
}
