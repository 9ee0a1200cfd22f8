// CEdit: the object bound to an edit control (DDX_Control). Its text is
// the window text; it tells its parent EN_SETFOCUS and EN_KILLFOCUS.
#pragma once

#include "platform/wnd.h"

class CEdit : public CWnd {};
