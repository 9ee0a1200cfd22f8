// The pure transform of a message body before it goes into the DATA stream.
#pragma once

#include "platform/cstring.h"

#include <array>
#include <optional>

// What each byte of a body is written as, before its line ends and dots
// are looked at (a recoding from one 8-bit code page into another); a byte
// mapped to nothing is left out.
using ByteMap = std::array<std::optional<unsigned char>, 256>;

// SMTP dot-stuffing of a body on its way into the DATA stream: every line
// that begins with "." gets one more "." in front of it. It runs in one
// pass with what else the stream needs, into one buffer of the exact size,
// so that a long body is held only once more: each byte is first written
// through `map` (none: as it is), and every bare LF and bare CR becomes
// CR LF, so a line begins at the start of the text and after every line
// end, and no body can hold an end of data. Line ends and leading dots are
// those of the mapped text.
void StuffDots(CString &text, const ByteMap *map = nullptr);
