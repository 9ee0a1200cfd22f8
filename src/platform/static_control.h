// CStatic: the object bound to a label or a frame (DDX_Control).
#pragma once

#include "platform/wnd.h"

class CStatic : public CWnd {};
