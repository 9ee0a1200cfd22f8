#include "mail/field_checks.h"

#include "app/transport_app.h"
#include "resources/resource.h"
#include "settings/game_settings.h"

CString MissingFieldError(CMessageRecord &record, std::initializer_list<RequiredField> fields)
{
    for (const RequiredField &field : fields) {
        if (record[field.key].IsEmpty())
            return CString::Formatted("%s ERR: %s %s", record[KEY_GAME_NAME].GetString(), field.label,
                                      theApp.LoadText(IDS_FIELD_MISSING).GetString());
    }
    return CString();
}
