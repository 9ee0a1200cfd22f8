// The plug-in module's resources (morvtransport.rc): what theApp's
// instance handle designates.
#pragma once

#include "platform/resources.h"

// The plug-in's own instance handle: the module's on Windows, its
// compiled-in resources elsewhere.
HINSTANCE PluginInstance();
