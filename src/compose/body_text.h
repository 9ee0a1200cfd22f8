// Pure transforms of a message body before it goes into the DATA stream.
#pragma once

#include "platform/cstring.h"

#include <array>

// What each byte of a body is written as, before its line ends and dots
// are looked at (a recoding from one 8-bit code page into another).
using ByteMap = std::array<unsigned char, 256>;

// Turns every bare LF and every bare CR into CR LF; CR LF pairs stay.
void NormalizeLineEnds(CString &text);

// SMTP dot-stuffing: every line that begins with "." (at the start of the
// text and after every LF) gets one more "." in front of it.
void StuffDots(CString &text);

// The text with every byte written through `map` (none: as it is), then
// NormalizeLineEnds and StuffDots, in one pass into one buffer of the
// exact size, so that a long body is held only once more.
CString BodyForData(std::string_view text, const ByteMap *map = nullptr);
