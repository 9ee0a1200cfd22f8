#include "platform/user_input.h"

#include "platform/host_window.h"
#include "platform/user_interface.h"

BOOL TypeText(HWND edit, const char *text)
{
    if (!IsWindow(edit))
        return FALSE;
    SetFocus(edit);
    return SetWindowTextA(edit, text);
}

BOOL ChooseListItem(HWND comboBox, int index)
{
    if (GetWindowKind(comboBox) != WindowKind::ComboBox || index < 0 ||
        index >= SendMessageA(comboBox, CB_GETCOUNT, 0, 0))
        return FALSE;
    SetFocus(comboBox);
    SendMessageA(comboBox, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    const HWND parent = GetParent(comboBox);
    if (parent)
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(comboBox)), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(comboBox));
    return TRUE;
}
