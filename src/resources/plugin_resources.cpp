#include "resources/plugin_resources.h"

#include "resources/dialog_templates.h"
#include "resources/string_table.h"

const ResourceModule g_pluginResources{
    "MORVTRANSPORT",
    {g_stringsEnglish, g_stringsEnglishCount},
    {g_stringsRussian, g_stringsRussianCount},
    g_pluginDialogs,
};
