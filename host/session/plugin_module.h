// PluginModule: the plug-in library loaded with dlopen and its twelve entry
// points found by their plain names. Unloads it (dlclose) on destruction,
// which the host does only after OnClose. Host's thread only.
#pragma once

#include "morvtransport/morvtransport.h"

#include <filesystem>
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
    void *m_handle = nullptr;
    EntryPoints m_api;
};
