#include "ui/config_flow.h"

void OpenConfigPage(CTreeCtrl *, const CString &) {}

void ApplyEditCopy(const CString &) {}
