#include "host/session/plugin_module.h"

#include <dlfcn.h>
#include <link.h>

#include <string>
#include <system_error>

namespace {

// The folder that the platform library this program runs with was loaded
// from, or empty.
std::filesystem::path PlatformLibraryFolder()
{
    void *platform = dlopen(MORV_PLATFORM_SONAME, RTLD_LAZY | RTLD_NOLOAD);
    if (!platform)
        return {};
    link_map *map = nullptr;
    std::filesystem::path folder;
    if (dlinfo(platform, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name)
        folder = std::filesystem::path(map->l_name).parent_path();
    dlclose(platform);
    return folder;
}

}  // namespace

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
    const std::filesystem::path beside = program.parent_path() / MORV_PLUGIN_FILE_NAME;
    if (!error && std::filesystem::exists(beside, error))
        return beside;
    const std::filesystem::path folder = PlatformLibraryFolder();
    // A relative path would be looked for in the current folder.
    if (!folder.is_absolute())
        throw PluginError("cannot tell where the plug-in is installed; name it with --plugin");
    return (folder / MORV_PLUGIN_FOLDER / MORV_PLUGIN_FILE_NAME).lexically_normal();
}
