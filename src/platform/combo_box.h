// CComboBox: the object bound to a combo box (DDX_Control). The list and
// its selection live in the window; each call is one CB_ message. The
// control tells its parent CBN_SETFOCUS, CBN_KILLFOCUS and, when a person
// chooses an item (user_input.h), CBN_SELCHANGE.
#pragma once

#include "platform/wnd.h"

class CComboBox : public CWnd {
public:
    // The new item's index (items are kept in the order added).
    int AddString(const char *text) { return Message(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)); }
    // Selects item `index`; one that names no item clears the selection and
    // answers CB_ERR.
    int SetCurSel(int index) { return Message(CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
    // The selected index; CB_ERR when none is selected.
    int GetCurSel() const { return Message(CB_GETCURSEL, 0, 0); }

private:
    // CB_ERR when no window is bound.
    int Message(UINT message, WPARAM wParam, LPARAM lParam) const;
};
