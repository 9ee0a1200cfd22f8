// The configuration editing flow: the page in the host's settings tree and
// the confirmation that applies its edit copy. Host's thread only.
#pragma once

#include "platform/cstring.h"

class CTreeCtrl;

// CreateConfigDialog.
void OpenConfigPage(CTreeCtrl *tree, const CString &game);
// OnOk.
void ApplyEditCopy(const CString &game);
