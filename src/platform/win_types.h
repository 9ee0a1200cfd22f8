// The scalar types and constants of the Windows interfaces that host and
// plug-in pass to each other, with their Windows values. On Windows they
// are the system's own (windows.h); elsewhere this header defines them.
#pragma once

#if defined(_WIN32)
#include "platform/windows/windows_api.h"
#else

#include <cstdint>

using BOOL = int;
using BYTE = unsigned char;
using UINT = unsigned int;
using DWORD = std::uint32_t;
using ULONG = unsigned long;
using LONG = long;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using ULONG_PTR = std::uintptr_t;

// The calling convention of the system's interfaces (stdcall on 32-bit
// Windows); nothing here.
#define WINAPI

struct HWND__;
using HWND = HWND__ *;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD STILL_ACTIVE = 259;

// Last-error codes that the system sets itself.
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_INVALID_DATA = 13;
constexpr DWORD ERROR_BAD_COMMAND = 22;
constexpr DWORD WSAEINTR = 10004;
constexpr DWORD WSAEINVAL = 10022;
constexpr DWORD WSAEMSGSIZE = 10040;
constexpr DWORD WSAEPROTONOSUPPORT = 10043;
constexpr DWORD WSAECONNABORTED = 10053;
constexpr DWORD WSAECONNRESET = 10054;
constexpr DWORD WSAETIMEDOUT = 10060;

constexpr UINT WM_COMMAND = 273;

#endif
