// Pure transforms of a message body before it goes into the DATA stream.
#pragma once

#include "platform/cstring.h"

// Turns every bare LF and every bare CR into CR LF; CR LF pairs stay.
void NormalizeLineEnds(CString &text);

// SMTP dot-stuffing: every line that begins with "." (at the start of the
// text and after every LF) gets one more "." in front of it.
void StuffDots(CString &text);
