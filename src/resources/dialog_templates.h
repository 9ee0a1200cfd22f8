// The plug-in's dialog templates: the transport page (129) and two that
// are carried but never shown (130, 131).
#pragma once

#include "platform/dialog_template.h"

#include <span>

extern const std::span<const DialogTemplate *const> g_pluginDialogs;
