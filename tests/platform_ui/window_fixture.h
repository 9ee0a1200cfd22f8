// Helpers of the window model's tests: a host window for the test's
// thread, and a plain window that records the WM_COMMAND notifications its
// children send it.
#pragma once

#include "platform/host_window.h"
#include "platform/wnd.h"

#include <memory>
#include <utility>
#include <vector>

struct ScopedHostWindow {
    ScopedHostWindow() : handle(CreateHostWindow([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; })) {}
    ~ScopedHostWindow() { DestroyHostWindow(handle); }
    CWnd &Object() const { return *CWnd::FromHandle(handle); }

    HWND handle;
};

using Command = std::pair<int, int>;  // (control id, notification code)

class RecordingWindow : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            commands.emplace_back(static_cast<short>(LOWORD(wParam)), HIWORD(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }

    std::vector<Command> commands;
};

inline bool MakeControl(CWnd &control, const char *className, CWnd &parent, int id, DWORD style = WS_VISIBLE)
{
    return control.CreateEx(0, className, "", WS_CHILD | style, RECT{}, &parent, static_cast<UINT>(id));
}
