#include "platform/host_window.h"

#include <memory>

namespace {

constexpr const char *HOST_WINDOW_CLASS = "MorvHostWindow";

// The host's messages (WM_USER and above) sent from other threads that the
// calling thread's host windows ran: what PumpMessages counts, since the
// system runs sent messages unseen inside PeekMessage.
thread_local int t_sentMessagesRun = 0;

WindowProcedure *ProcedureOf(HWND window)
{
    return reinterpret_cast<WindowProcedure *>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// Every message reaches the host's procedure. The system's own (below
// WM_USER) are then handled as any window handles them, whatever the
// procedure answered, so that the window paints, sizes and ends as a window
// must.
LRESULT CALLBACK HostWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto *creation = reinterpret_cast<const CREATESTRUCTA *>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    WindowProcedure *procedure = ProcedureOf(window);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete procedure;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (message >= WM_USER && InSendMessage())
        ++t_sentMessagesRun;
    LRESULT result = 0;
    try {
        result = procedure ? (*procedure)(window, message, wParam, lParam) : 0;
    } catch (...) {
    }
    return message < WM_USER ? DefWindowProcA(window, message, wParam, lParam) : result;
}

bool RegisterHostWindowClass()
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = HostWindowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = HOST_WINDOW_CLASS;
    return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

HWND CreateHostWindow(WindowProcedure procedure)
{
    static const bool registered = RegisterHostWindowClass();
    if (!registered)
        return nullptr;
    auto owned = std::make_unique<WindowProcedure>(std::move(procedure));
    const HWND window = CreateWindowExA(WS_EX_CONTROLPARENT, HOST_WINDOW_CLASS, "", WS_OVERLAPPEDWINDOW,
                                        CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), owned.get());
    if (window)
        static_cast<void>(owned.release());  // the window's now, freed with it
    return window;
}

void DestroyHostWindow(HWND window) { DestroyWindow(window); }

void SendMessageSeries(HWND window, UINT message, std::span<const MessageParameters> series)
{
    for (const MessageParameters &parameters : series) {
        const LPARAM lParam = parameters.handOver ? parameters.handOver() : parameters.lParam;
        SendMessageA(window, message, parameters.wParam, lParam);
    }
}

int PumpMessages()
{
    const int sentBefore = t_sentMessagesRun;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return t_sentMessagesRun - sentBefore;
}

BOOL WaitMessage(DWORD timeout)
{
    return MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0;
}
