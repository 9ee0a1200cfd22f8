// The entry point table of the plug-in objects linked into a white-box
// suite. Include only in suites that link morvtransport_static.
#pragma once

#include "support/plugin_api.h"

inline PluginApi LinkedPluginApi()
{
    return PluginApi{::OnLoad, ::OnClose, ::Init, ::Close, ::Send, ::Check, ::Cancel, ::PrepareExit,
                     ::OnSave, ::OnRestore, ::CreateConfigDialog, ::OnOk};
}
