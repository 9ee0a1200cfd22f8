// DynamicLibrary: a library loaded at run time (dlopen here, LoadLibraryA on
// Windows) and unloaded when the object goes. And where the running
// program and the platform library it runs with were loaded from. Any
// thread; one owner.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

class DynamicLibrary {
public:
    // Throws std::runtime_error with the system's words when the library
    // cannot be loaded.
    explicit DynamicLibrary(const std::filesystem::path &path);
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary &) = delete;
    DynamicLibrary &operator=(const DynamicLibrary &) = delete;

    // The exported function `name`, or null.
    void *Symbol(const char *name) const;

    // True while the library at `path` is loaded into the process.
    static bool IsLoaded(const std::filesystem::path &path);

private:
    void *m_handle;
};

// The folder of the running program; empty when unknown.
std::filesystem::path ProgramFolder();
// The folder that the platform library this program runs with was loaded
// from; empty when unknown.
std::filesystem::path PlatformLibraryFolder();
