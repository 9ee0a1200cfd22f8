// The plug-in's string tables, English and Russian.
#pragma once

#include "platform/resources.h"

#include <cstddef>
#include <iterator>

extern const StringTableEntry g_stringsEnglish[];
extern const StringTableEntry g_stringsRussian[];
extern const std::size_t g_stringsEnglishCount;
extern const std::size_t g_stringsRussianCount;
