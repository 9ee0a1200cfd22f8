#include "resources/plugin_resources.h"

// Made from morvtransport.rc at build time (cmake/rc_tables.py).
extern const ResourceModule g_pluginResources;

HINSTANCE PluginInstance() { return &g_pluginResources; }
