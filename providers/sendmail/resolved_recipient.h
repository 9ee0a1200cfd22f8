// Recipients that MAPIResolveName hands out: one heap block holding the
// descriptor and its text, so that MAPIFreeBuffer releases it with one free.
#pragma once

#include "mail/mapi.h"

#include <string_view>

// A MAPI_TO recipient whose name and address are `name`; null when memory
// is short.
lpMapiRecipDesc NewResolvedRecipient(std::string_view name);
void FreeProviderBuffer(void *buffer);
