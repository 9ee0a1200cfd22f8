// The plug-in module's resources: what theApp's instance handle designates.
#pragma once

#include "platform/resources.h"

extern const ResourceModule g_pluginResources;
