#include "host/page/windows/dialog_frame.h"

#include "host/page/settings_window.h"
#include "host/text/text_codec.h"
#include "platform/host_window.h"
#include "platform/user_interface.h"

#include <algorithm>

namespace {

constexpr const char *FRAME_OBJECT = "MorvDialogFrame";

// In the plug-in page's dialog units: the tree beside the page, the host's
// sections under the page's fields, then the notice and the buttons.
constexpr LONG MARGIN = 7;
constexpr LONG PAGE_LEFT = 94;
constexpr LONG GAP = 5;
constexpr LONG NOTICE_HEIGHT = 16;  // two lines
constexpr LONG BUTTON_WIDTH = 50;
constexpr LONG BUTTON_HEIGHT = 14;
constexpr DWORD FRAME_STYLE = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

// Lengths in the page's dialog units turned into pixels.
class PageUnits {
public:
    explicit PageUnits(HWND page) : m_page(page) {}
    RECT Rect(RECT units) const
    {
        MapDialogRect(m_page, &units);
        return units;
    }
    LONG X(LONG units) const { return Rect(RECT{0, 0, units, 0}).right; }
    LONG Y(LONG units) const { return Rect(RECT{0, 0, 0, units}).bottom; }

private:
    HWND m_page;
};

void MoveTo(HWND window, const RECT &pixels)
{
    SetWindowPos(window, nullptr, pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// Where a window stands in its parent, in pixels. A combo box's window is
// as high as its closed field; the height it was made with is its list's.
RECT RectInParent(HWND window, bool withList = true)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    if (withList && GetWindowKind(window) == WindowKind::ComboBox) {
        RECT dropped{};
        SendMessageA(window, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        rect.bottom = dropped.bottom;
    }
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

// The page with its empty rows at the bottom left out.
RECT FieldsOf(HWND page)
{
    const RECT made = RectInParent(page);
    RECT rect{0, 0, made.right - made.left, 0};
    for (const HWND control : GetChildWindows(page))
        rect.bottom = std::max(rect.bottom, RectInParent(control, false).bottom);
    return rect;
}

void SetFont(HWND window, HWND page) { SendMessageA(window, WM_SETFONT, SendMessageA(page, WM_GETFONT, 0, 0), FALSE); }

// A host's section was made with its dialog units for pixels: its controls
// get the page's measure and font. Returns the section's bottom.
LONG FitSection(HWND section, HWND page, LONG left, LONG top)
{
    const PageUnits units(page);
    for (const HWND control : GetChildWindows(section)) {
        MoveTo(control, units.Rect(RectInParent(control)));
        SetFont(control, page);
    }
    const RECT made = RectInParent(section);
    const RECT size = units.Rect(RECT{0, 0, made.right - made.left, made.bottom - made.top});
    MoveTo(section, RECT{left, top, left + size.right, top + size.bottom});
    return top + size.bottom;
}

// The tree takes the focus by Tab too, and shows the page's item chosen.
void FitTree(HWND tree, HWND page, const RECT &place)
{
    SetWindowLongPtrA(tree, GWL_STYLE, GetWindowLongPtrA(tree, GWL_STYLE) | WS_TABSTOP | TVS_SHOWSELALWAYS);
    SetWindowLongPtrA(tree, GWL_EXSTYLE, GetWindowLongPtrA(tree, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    MoveTo(tree, place);
    SetFont(tree, page);
    HTREEITEM last = TreeView_GetRoot(tree);
    for (HTREEITEM next = last; next; next = TreeView_GetNextSibling(tree, next))
        last = next;
    TreeView_SelectItem(tree, last);
}

// The settings window is an ANSI window: the title goes in as it is, not
// through the ANSI code page, which may have no place for a game's name.
void SetTitle(HWND window, const std::string &title)
{
    DefWindowProcW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Utf8ToWide(title).c_str()));
}

}  // namespace

DialogFrame::DialogFrame(const std::vector<HWND> &pages, const std::string &title)
    : m_window(GetParent(pages.front())), m_page(pages.front())
{
    SetPropA(m_window, FRAME_OBJECT, this);
    m_procedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DialogFrame::Procedure)));
    SetTitle(m_window, title);
    LayOut(pages);
    SetFocus(GetNextDlgTabItem(m_page, nullptr, FALSE));
    SetForegroundWindow(m_window);
}

DialogFrame::~DialogFrame()
{
    ShowWindow(m_window, SW_HIDE);
    SetWindowLongPtrA(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_procedure));
    RemovePropA(m_window, FRAME_OBJECT);
}

// The page and its sections in one column beside the tree; the notice and
// the buttons under them.
void DialogFrame::LayOut(const std::vector<HWND> &pages)
{
    const PageUnits units(m_page);
    const RECT fields = FieldsOf(m_page);
    const LONG left = units.X(PAGE_LEFT);
    const LONG top = units.Y(MARGIN);
    const LONG right = left + fields.right;
    MoveTo(m_page, RECT{left, top, right, top + fields.bottom});
    LONG bottom = top + fields.bottom + units.Y(GAP);
    for (auto section = pages.begin() + 1; section != pages.end(); ++section)
        bottom = FitSection(*section, m_page, left, bottom);
    FitTree(GetDlgItem(m_window, SettingsWindow::TREE_ID), m_page,
            RECT{units.X(MARGIN), top, units.X(PAGE_LEFT - MARGIN), bottom});
    bottom = AddFoot(units.X(MARGIN), right, bottom + units.Y(GAP));
    Resize(RECT{0, 0, right + units.X(MARGIN), bottom + units.Y(MARGIN)});
}

// The notice line, then OK and Cancel at its right end; returns their
// bottom.
LONG DialogFrame::AddFoot(LONG left, LONG right, LONG top)
{
    const PageUnits units(m_page);
    m_notice = AddControl(L"Static", L"", SS_LEFT, -1, RECT{left, top, right, top + units.Y(NOTICE_HEIGHT)});
    const LONG buttonTop = top + units.Y(NOTICE_HEIGHT + GAP);
    const LONG bottom = buttonTop + units.Y(BUTTON_HEIGHT);
    const LONG width = units.X(BUTTON_WIDTH);
    const LONG okRight = right - width - units.X(GAP);
    AddControl(L"Button", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK,
               RECT{okRight - width, buttonTop, okRight, bottom});
    AddControl(L"Button", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL,
               RECT{right - width, buttonTop, right, bottom});
    return bottom;
}

// The frame of a fixed-size dialog around `client`, in the screen's middle.
void DialogFrame::Resize(RECT client)
{
    SetWindowLongPtrA(m_window, GWL_STYLE, FRAME_STYLE);
    AdjustWindowRectEx(&client, FRAME_STYLE, FALSE, static_cast<DWORD>(GetWindowLongPtrA(m_window, GWL_EXSTYLE)));
    const LONG width = client.right - client.left;
    const LONG height = client.bottom - client.top;
    SetWindowPos(m_window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                 SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

HWND DialogFrame::AddControl(const wchar_t *className, const wchar_t *text, DWORD style, int id, const RECT &at)
{
    const HWND control = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, at.left, at.top,
                                         at.right - at.left, at.bottom - at.top, m_window,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                         nullptr);
    SetFont(control, m_page);
    return control;
}

int DialogFrame::WaitForButton(const std::function<bool()> &stop)
{
    m_pressed = 0;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageA(m_window, &message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
        if (m_pressed || stop())
            return m_pressed;
        WaitMessage(INFINITE);
    }
}

void DialogFrame::ShowNotice(const std::string &text) { SetWindowTextW(m_notice, Utf8ToWide(text).c_str()); }

// What a dialog's own procedure would do with OK, Cancel and closing; the
// rest goes on to the settings window's procedure.
LRESULT CALLBACK DialogFrame::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *frame = static_cast<DialogFrame *>(GetPropA(window, FRAME_OBJECT));
    const WORD id = LOWORD(wParam);
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && (id == IDOK || id == IDCANCEL)) {
        frame->m_pressed = id;
        return 0;
    }
    if (message == WM_CLOSE) {  // the system's answer would destroy the window
        frame->m_pressed = IDCANCEL;
        return 0;
    }
    if (message == DM_GETDEFID)  // Enter on the Cancel button is Cancel
        return MAKELRESULT(GetFocus() == GetDlgItem(window, IDCANCEL) ? IDCANCEL : IDOK, DC_HASDEFID);
    return CallWindowProcA(frame->m_procedure, window, message, wParam, lParam);
}
