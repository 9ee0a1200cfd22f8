// CStringArray: an ordered list of texts, the standard vector underneath.
#pragma once

#include "platform/cstring.h"

#include <vector>

using CStringArray = std::vector<CString>;
