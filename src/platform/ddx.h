// Dialog data exchange: DoDataExchange calls these for each control, in
// one direction per run (CWnd::UpdateData). CDataExchange lives for one
// run on the dialog's thread.
#pragma once

#include "platform/cstring.h"
#include "platform/win_types.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd *dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    // The dialog's control `id`, or null when it has none.
    HWND PrepareCtrl(int id) const;

    BOOL m_bSaveAndValidate;
    CWnd *m_pDlgWnd;
};

// The control's text into `value` (saving) or `value` into the control.
// A control id the dialog lacks leaves both unchanged.
void DDX_Text(CDataExchange *dx, int id, CString &value);
// Binds `control` to the dialog's control `id` once; later runs keep it.
void DDX_Control(CDataExchange *dx, int id, CWnd &control);
