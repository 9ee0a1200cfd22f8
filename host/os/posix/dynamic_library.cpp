#include "host/os/dynamic_library.h"

#include <dlfcn.h>
#include <link.h>

#include <system_error>

DynamicLibrary::DynamicLibrary(const std::filesystem::path &path) : m_handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
{
    if (!m_handle)
        throw std::runtime_error(dlerror());
}

DynamicLibrary::~DynamicLibrary() { dlclose(m_handle); }

void *DynamicLibrary::Symbol(const char *name) const { return dlsym(m_handle, name); }

bool DynamicLibrary::IsLoaded(const std::filesystem::path &path)
{
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

std::filesystem::path ProgramFolder()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program.parent_path();
}

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
