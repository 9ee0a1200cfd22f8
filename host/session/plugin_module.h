// PluginModule: the plug-in library loaded at run time (DynamicLibrary) and
// its twelve entry points found by their plain names. Unloads it on
// destruction, which the host does only after OnClose. Host's thread only.
#pragma once

#include "host/os/dynamic_library.h"
#include "morvtransport/morvtransport.h"

#include <filesystem>
#include <memory>
#include <stdexcept>

using EntryPoints = MorvEntryPoints;

class PluginError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class PluginModule {
public:
    // Throws PluginError naming the library and what was wrong with it.
    explicit PluginModule(const std::filesystem::path &path);
    ~PluginModule();
    PluginModule(const PluginModule &) = delete;
    PluginModule &operator=(const PluginModule &) = delete;

    const EntryPoints &Api() const { return m_api; }
    const std::filesystem::path &Path() const { return m_path; }

    // The plug-in beside the running program, else the one in the folder
    // "morvtransport" beside the platform library the program runs with
    // (where both the installation and the build tree keep it).
    static std::filesystem::path DefaultPath();

private:
    std::filesystem::path m_path;
    std::unique_ptr<DynamicLibrary> m_library;
    EntryPoints m_api;
};
