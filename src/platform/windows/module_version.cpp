#include "platform/module_version.h"

#include "platform/win_types.h"

#include <winver.h>

#include <vector>

namespace {

HMODULE ModuleAt(const void *address)
{
    HMODULE module = nullptr;
    const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!address || !GetModuleHandleExA(flags, static_cast<const char *>(address), &module))
        return nullptr;
    return module;
}

// The module's version block, read from its own resource.
std::vector<char> VersionBlock(HMODULE module)
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return {};
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(path, &ignored));
    if (block.empty() || !GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data()))
        return {};
    return block;
}

}  // namespace

CString GetModuleVersion(const void *address)
{
    const HMODULE module = ModuleAt(address);
    std::vector<char> block = module ? VersionBlock(module) : std::vector<char>();
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT size = 0;
    if (block.empty() || !VerQueryValueA(block.data(), "\\", reinterpret_cast<void **>(&fixed), &size) ||
        size < sizeof *fixed)
        return CString();
    const auto part = [](DWORD half, int shift) { return static_cast<unsigned>((half >> shift) & 0xFFFF); };
    return CString::Formatted("%u.%u.%u.%u", part(fixed->dwFileVersionMS, 16), part(fixed->dwFileVersionMS, 0),
                              part(fixed->dwFileVersionLS, 16), part(fixed->dwFileVersionLS, 0));
}
