// The system's headers as every part of the Windows build sees them: Winsock
// 2 before windows.h (which would otherwise bring in the old winsock.h), and
// without the min and max macros that the standard library's names collide
// with.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <commctrl.h>
