#include "platform/library.h"

#include "platform/last_error.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#ifndef MORV_SYSTEM_LIBRARY_DIRS
#define MORV_SYSTEM_LIBRARY_DIRS "/usr/local/lib:/usr/lib:/lib"
#endif

namespace {

namespace fs = std::filesystem;

void AppendFolders(std::vector<CString> &folders, std::string_view list)
{
    while (!list.empty()) {
        const auto colon = list.find(':');
        const std::string_view folder = list.substr(0, colon);
        if (!folder.empty())
            folders.emplace_back(folder);
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
}

CString FolderOf(const fs::path &file)
{
    std::error_code error;
    const fs::path full = fs::weakly_canonical(file, error);
    return error ? CString() : CString(full.parent_path().string());
}

CString HostFolder() { return FolderOf("/proc/self/exe"); }

CString ModuleFolder(const void *address)
{
    Dl_info info{};
    if (!address || !dladdr(address, &info) || !info.dli_fname || !*info.dli_fname)
        return CString();
    return FolderOf(info.dli_fname);
}

bool IsFile(const fs::path &candidate)
{
    std::error_code error;
    return fs::is_regular_file(candidate, error);
}

std::string WithExtension(const char *fileName, const char *extension)
{
    std::string name(fileName);
    if (extension && !fs::path(name).has_extension())
        name += extension;
    return name;
}

CString FindFile(const std::vector<CString> &folders, const std::string &name)
{
    for (const CString &folder : folders) {
        const fs::path candidate = fs::path(folder.str()) / name;
        if (IsFile(candidate))
            return CString(candidate.string());
    }
    return CString();
}

std::vector<CString> FoldersFor(const char *path, const void *caller)
{
    if (!path)
        return LibrarySearchPath(caller);
    std::vector<CString> folders;
    AppendFolders(folders, path);
    return folders;
}

DWORD CopyResult(const CString &found, DWORD bufferLength, char *buffer, char **filePart)
{
    const auto length = static_cast<DWORD>(found.GetLength());
    if (!buffer || bufferLength <= length)
        return length + 1;
    std::memcpy(buffer, found.GetString(), length + 1);
    if (filePart) {
        char *slash = std::strrchr(buffer, '/');
        *filePart = slash ? slash + 1 : buffer;
    }
    return length;
}

}  // namespace

std::vector<CString> LibrarySearchPath(const void *caller)
{
    std::vector<CString> folders;
    for (const CString &folder : {HostFolder(), ModuleFolder(caller)})
        if (!folder.IsEmpty())
            folders.push_back(folder);
    if (const char *libraryPath = std::getenv("LD_LIBRARY_PATH"))
        AppendFolders(folders, libraryPath);
    AppendFolders(folders, MORV_SYSTEM_LIBRARY_DIRS);
    return folders;
}

__attribute__((noinline)) DWORD SearchPathA(const char *path, const char *fileName, const char *extension,
                                            DWORD bufferLength, char *buffer, char **filePart)
{
    const CString found = fileName && *fileName
        ? FindFile(FoldersFor(path, __builtin_return_address(0)), WithExtension(fileName, extension))
        : CString();
    if (found.IsEmpty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    return CopyResult(found, bufferLength, buffer, filePart);
}

__attribute__((noinline)) HMODULE LoadLibraryA(const char *fileName)
{
    if (!fileName || !*fileName) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    const CString path = std::strchr(fileName, '/')
        ? CString(fileName)
        : FindFile(LibrarySearchPath(__builtin_return_address(0)), fileName);
    if (path.IsEmpty() || !IsFile(path.str())) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    void *handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        SetLastError(ERROR_BAD_EXE_FORMAT);
    return static_cast<HMODULE>(handle);
}

FARPROC GetProcAddress(HMODULE module, const char *procName)
{
    void *address = module && procName ? dlsym(module, procName) : nullptr;
    if (!address) {
        SetLastError(module ? ERROR_PROC_NOT_FOUND : ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(address);
}

BOOL FreeLibrary(HMODULE module)
{
    if (!module || dlclose(module) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL KeepLibraryLoaded(const void *address)
{
    Dl_info info{};
    if (!address || !dladdr(address, &info) || !info.dli_fname || !*info.dli_fname)
        return FALSE;
    // The reference taken here is never dropped, and RTLD_NODELETE outlasts
    // every later dlclose in any case.
    return dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;
}
