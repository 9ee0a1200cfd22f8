#include "resources/plugin_resources.h"

// The linker's name for the start of the module this code is linked into.
extern "C" IMAGE_DOS_HEADER __ImageBase;

HINSTANCE PluginInstance() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }
