#include "host/os/dynamic_library.h"

#include <windows.h>

#include <string>

namespace {

std::string SystemMessage(DWORD error)
{
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(error) : message;
}

std::filesystem::path FolderOf(HMODULE module)
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return {};
    return std::filesystem::path(std::string(path, length)).parent_path();
}

}  // namespace

DynamicLibrary::DynamicLibrary(const std::filesystem::path &path) : m_handle(LoadLibraryA(path.string().c_str()))
{
    if (!m_handle)
        throw std::runtime_error(path.string() + ": " + SystemMessage(GetLastError()));
}

DynamicLibrary::~DynamicLibrary() { FreeLibrary(static_cast<HMODULE>(m_handle)); }

void *DynamicLibrary::Symbol(const char *name) const
{
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(m_handle), name));
}

bool DynamicLibrary::IsLoaded(const std::filesystem::path &path)
{
    return GetModuleHandleA(path.string().c_str()) != nullptr;
}

std::filesystem::path ProgramFolder() { return FolderOf(nullptr); }

std::filesystem::path PlatformLibraryFolder()
{
    const HMODULE platform = GetModuleHandleA(MORV_PLATFORM_SONAME);
    return platform ? FolderOf(platform) : std::filesystem::path();
}
