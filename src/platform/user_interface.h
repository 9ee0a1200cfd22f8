// The Win32 user-interface functions: the system's own on Windows (real
// windows and controls), elsewhere over the headless window model.
//
// Windows form trees: host windows (host_window.h) are top-level, dialogs
// and controls are children, and any window accepts children. A window
// keeps its kind, control id, text, styles (WS_VISIBLE is its own
// visibility), position in dialog units and, for a combo box, its list.
// Every function here runs on the thread that owns the window (the thread
// that created it); a handle that is no live window of the calling thread
// makes it fail harmlessly (null, 0 or FALSE).
#pragma once

#include "platform/cstring.h"
#include "platform/win_types.h"

#include <vector>

#if !defined(_WIN32)
using WORD = std::uint16_t;

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

#endif

enum class WindowKind { Generic, Host, Dialog, Edit, Static, ComboBox, TreeView };

#if !defined(_WIN32)
// Messages.
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr LRESULT CB_ERR = -1;

// WM_COMMAND notification codes (high word of wParam).
constexpr UINT EN_SETFOCUS = 0x0100;
constexpr UINT EN_KILLFOCUS = 0x0200;
constexpr UINT CBN_SELCHANGE = 1;
constexpr UINT CBN_SETFOCUS = 3;
constexpr UINT CBN_KILLFOCUS = 4;

// Window styles.
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
constexpr DWORD DS_SETFONT = 0x0040;
constexpr DWORD DS_CONTROL = 0x0400;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NUMBER = 0x2000;
constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_RIGHT = 0x0002;
constexpr DWORD SS_BLACKFRAME = 0x0007;
constexpr DWORD SS_TYPEMASK = 0x001F;  // which of the SS_ kinds a label is
constexpr DWORD CBS_DROPDOWN = 0x0002;
constexpr DWORD TVS_HASLINES = 0x0002;

// Last-error codes of window creation.
constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_TLW_WITH_WSCHILD = 1406;

constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;

constexpr WPARAM MAKEWPARAM(WORD low, WORD high) { return (static_cast<WPARAM>(high) << 16) | low; }
constexpr WORD LOWORD(WPARAM value) { return static_cast<WORD>(value & 0xFFFF); }
constexpr WORD HIWORD(WPARAM value) { return static_cast<WORD>((value >> 16) & 0xFFFF); }

HWND GetParent(HWND window);
// The direct child with control id `id`, or null.
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND window);
// Position and size in dialog units, relative to the parent.
RECT GetWindowRect(HWND window);

BOOL SetWindowTextA(HWND window, const char *text);
// Copies at most `size` - 1 bytes and a NUL; returns the bytes copied.
int GetWindowTextA(HWND window, char *buffer, int size);
#endif

// The direct children in creation (tab) order.
std::vector<HWND> GetChildWindows(HWND window);
WindowKind GetWindowKind(HWND window);
DWORD GetWindowStyle(HWND window);
DWORD GetWindowExStyle(HWND window);
CString GetWindowString(HWND window);

#if !defined(_WIN32)
// SW_HIDE clears WS_VISIBLE, anything else sets it; TRUE when the window
// was visible before.
BOOL ShowWindow(HWND window, int command);
// TRUE when the window and all its ancestors are visible.
BOOL IsWindowVisible(HWND window);

// Moves the calling thread's focus: the window that loses it gets
// WM_KILLFOCUS, then the one that gains it WM_SETFOCUS (edits and combo
// boxes pass both on to their parent as WM_COMMAND notifications). Null
// removes the focus. Returns the window that had it.
HWND SetFocus(HWND window);
HWND GetFocus();

// Destroys the window and its children; detaches the CWnd objects bound to
// them. A destroyed window that had the focus takes it along silently.
BOOL DestroyWindow(HWND window) noexcept;

// The built-in behaviour of each kind of window: texts, focus
// notifications, the combo box's list.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
#endif
