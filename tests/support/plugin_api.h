// The twelve entry points of a plug-in as a table of function pointers,
// filled from the real shared library (loaded as the host's PluginModule
// does) or, in white-box suites, from the statically linked objects
// (linked_plugin_api.h).
#pragma once

#include "host/session/plugin_module.h"

#include <string>

using PluginApi = EntryPoints;

// The plug-in this build made, loaded as a host loads it; dlclose on
// destruction.
class PluginLibrary : public PluginModule {
public:
    explicit PluginLibrary(const std::filesystem::path &path = MORV_PLUGIN_PATH) : PluginModule(path) {}
};

// True while the plug-in at `path` is mapped into the process: loaded and
// not yet unloaded, or kept for the life of the process.
inline bool IsPluginMapped(const std::string &path = MORV_PLUGIN_PATH) { return DynamicLibrary::IsLoaded(path); }
