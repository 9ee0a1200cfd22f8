#include "platform/dialog_template.h"

const DialogTemplate *FindDialogTemplate(HINSTANCE module, UINT id)
{
    if (!module)
        return nullptr;
    for (const DialogTemplate *dialog : module->dialogs)
        if (dialog && dialog->id == id)
            return dialog;
    return nullptr;
}
