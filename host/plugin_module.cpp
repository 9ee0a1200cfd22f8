#include "host/plugin_module.h"

#include <dlfcn.h>

#include <string>
#include <system_error>

PluginModule::PluginModule(const std::filesystem::path &path)
    : m_path(path), m_handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
{
    if (!m_handle)
        throw PluginError(std::string("cannot load the plug-in: ") + dlerror());
    const char *missing = MorvBindEntryPoints(m_api, [this](const char *name) { return dlsym(m_handle, name); });
    if (missing) {
        dlclose(m_handle);
        throw PluginError(m_path.string() + " is no MORVTRANSPORT plug-in: it lacks the entry point " + missing);
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
