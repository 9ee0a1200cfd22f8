// The twelve entry points of a plug-in as a table of function pointers,
// filled from the real shared library (dlopen) or, in white-box suites,
// from the statically linked objects (linked_plugin_api.h).
#pragma once

#include "morvtransport/morvtransport.h"

#include <string>

using PluginApi = MorvEntryPoints;

// A loaded plug-in library; dlclose on destruction.
class PluginLibrary {
public:
    explicit PluginLibrary(const std::string &path = MORV_PLUGIN_PATH);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary &) = delete;
    PluginLibrary &operator=(const PluginLibrary &) = delete;

    const PluginApi &Api() const { return m_api; }
    void *Handle() const { return m_handle; }

private:
    void *m_handle = nullptr;
    PluginApi m_api;
};

// True while the plug-in at `path` is mapped into the process: loaded and
// not yet unloaded, or kept for the life of the process.
bool IsPluginMapped(const std::string &path = MORV_PLUGIN_PATH);
