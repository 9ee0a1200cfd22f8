// The plug-in's string tables. Russian texts are Windows-1251 bytes; each
// escaped byte ends its literal so that no hex escape runs into the next letter.
#include "resources/string_table.h"

#include "resources/resource.h"

const StringTableEntry g_stringsEnglish[] = {
    {0, ""},
    {IDS_INIT, "Game %s intializing"},
    {IDS_CLOSED, "Game %s closed"},
    {IDS_LOADED, "loaded"},
    {IDS_SAVED, "saved"},
    {IDS_READY, "Ready"},
    {IDS_INIT_FAILED, "Intialization failed. (Error=%lu)"},
    {IDS_ERROR, "Error=%lu"},
    {IDS_FIELD_MISSING, "Field must present"},
    {IDS_SENT, "message sent"},
    {IDS_ABORTED, "Abort by user"},
    {IDS_CHECK_OK, "Check OK"},
    {IDS_SENDING, "sending message"},
    {14, ""},
    {15, ""},
};

const StringTableEntry g_stringsRussian[] = {
    {0, ""},
    {IDS_INIT, "\xC8" "\xE3" "\xF0" "\xE0" " %s \xE8" "\xED" "\xE8" "\xF6" "\xE8" "\xE0" "\xEB" "\xE8" "\xE7" "\xE8" "\xF0" "\xEE" "\xE2" "\xE0" "\xED" "\xE0"},
    {IDS_CLOSED, "\xC8" "\xE3" "\xF0" "\xE0" " %s \xE7" "\xE0" "\xEA" "\xF0" "\xFB" "\xE2" "\xE0" "\xE5" "\xF2" "\xF1" "\xFF"},
    {IDS_LOADED, "\xE7" "\xE0" "\xE3" "\xF0" "\xF3" "\xE6" "\xE5" "\xED" "\xE0"},
    {IDS_SAVED, "\xE7" "\xE0" "\xEF" "\xE8" "\xF1" "\xE0" "\xED" "\xE0"},
    {IDS_READY, "\xC2" "\xF1" "\xE5" "\xE3" "\xE4" "\xE0" " \xE3" "\xEE" "\xF2" "\xEE" "\xE2"},
    {IDS_INIT_FAILED, "Intialization failed. (Error=%lu)"},
    {IDS_ERROR, "\xCE" "\xF8" "\xE8" "\xE1" "\xEA" "\xE0" "=%lu"},
    {IDS_FIELD_MISSING, "\xC7" "\xE0" "\xEF" "\xEE" "\xEB" "\xED" "\xE8" "\xF2" "\xE5" " \xE2" "\xF1" "\xE5" " \xEF" "\xEE" "\xEB" "\xFF" " \xED" "\xE0" "\xF1" "\xF2" "\xF0" "\xEE" "\xE5" "\xEA" " \xF2" "\xF0" "\xE0" "\xF1" "\xEF" "\xEE" "\xF0" "\xF2" "\xE0"},
    {IDS_SENT, "\xF1" "\xEE" "\xEE" "\xE1" "\xF9" "\xE5" "\xED" "\xE8" "\xE5" " \xEE" "\xF2" "\xEE" "\xF1" "\xEB" "\xE0" "\xED" "\xEE"},
    {IDS_ABORTED, "\xCF" "\xF0" "\xE5" "\xF0" "\xE2" "\xE0" "\xED" "\xEE" " \xEF" "\xEE" "\xEB" "\xFC" "\xE7" "\xEE" "\xE2" "\xE0" "\xF2" "\xE5" "\xEB" "\xE5" "\xEC"},
    {IDS_CHECK_OK, "\xCF" "\xF0" "\xEE" "\xE2" "\xE5" "\xF0" "\xEA" "\xE0" " \xEF" "\xF0" "\xEE" "\xF8" "\xEB" "\xE0" " \xF3" "\xF1" "\xEF" "\xE5" "\xF8" "\xED" "\xEE"},
    {IDS_SENDING, "\xEE" "\xF2" "\xF1" "\xFB" "\xEB" "\xE0" "\xE5" "\xEC"},
    {14, ""},
    {15, ""},
};

const std::size_t g_stringsEnglishCount = std::size(g_stringsEnglish);
const std::size_t g_stringsRussianCount = std::size(g_stringsRussian);
