// The window behind an HWND and the process-wide table of live windows.
// Internal to the platform layer. `owner` and `procedure` never change
// after creation and may be read by any thread that holds the table's lock;
// every other field belongs to the owner thread.
#pragma once

#include "platform/host_window.h"
#include "platform/user_interface.h"
#include "platform/wnd.h"

#include <memory>
#include <thread>
#include <vector>

struct HWND__ {
    std::thread::id owner;
    WindowProcedure procedure;

    WindowKind kind = WindowKind::Generic;
    HWND parent = nullptr;
    std::vector<HWND> children;
    int id = 0;
    CString text;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect;
    std::vector<CString> listItems;  // combo box
    int currentItem = -1;            // combo box; -1 when none is selected
    CWnd *attached = nullptr;        // the object bound by CWnd::Attach
    std::unique_ptr<CWnd> wrapper;   // made by CWnd::FromHandle when nothing is bound
};

struct WindowSetup {
    WindowKind kind = WindowKind::Generic;
    const char *text = "";
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect;
    HWND parent = nullptr;
    int id = 0;
};

namespace window_table {

// Adds a window owned by the calling thread.
HWND Add(std::unique_ptr<HWND__> window);
// Takes a window out of the table; messages still queued for it complete
// with 0. Null when it was not in the table.
std::unique_ptr<HWND__> Remove(HWND window) noexcept;
// TRUE when `window` is live and owned by the calling thread, so that the
// caller may touch its fields.
bool IsOwn(HWND window);

}  // namespace window_table

// Clears the calling thread's focus when `window` has it, without
// notifying anyone.
void ForgetFocus(HWND window) noexcept;

// Creates a dialog or control window owned by the calling thread; its
// procedure hands messages to the bound CWnd, else to DefWindowProcA. A
// WS_CHILD window needs a parent of the calling thread. Null on failure,
// with the last error set.
HWND CreateWindowObject(const WindowSetup &setup);
