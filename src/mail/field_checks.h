// The mailers' checks of required record fields, before any delivery work.
#pragma once

#include "mail/message_record.h"

#include <initializer_list>

struct RequiredField {
    const char *key;    // record key, e.g. "From"
    const char *label;  // its name in the error text, e.g. "FROM"
};

// "%s ERR: %s %s" with the game name, the label of the first field that is
// empty, and the "Field must present" text in the user's language; empty
// text when every field is present. Reads each field through the index
// operator, so absent ones are added empty.
CString MissingFieldError(CMessageRecord &record, std::initializer_list<RequiredField> fields);
