// What a person does to the controls of a window, for hosts and tests that
// drive a dialog: each first moves the focus to the control, as a click
// does, so the control that loses it notifies its parent. Owner thread of
// the windows only.
#pragma once

#include "platform/win_types.h"

// Clicks into `edit` and replaces its text. FALSE for no live window.
BOOL TypeText(HWND edit, const char *text);
// Clicks into `comboBox` and chooses list item `index`; the control tells
// its parent CBN_SELCHANGE. FALSE (focus unchanged) when the index names
// no item.
BOOL ChooseListItem(HWND comboBox, int index);
