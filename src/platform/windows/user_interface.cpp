#include "platform/user_interface.h"

#include <string>

namespace {

struct ClassKind {
    const char *name;
    WindowKind kind;
};

constexpr ClassKind CLASS_KINDS[] = {
    {"Edit", WindowKind::Edit},           {"Static", WindowKind::Static}, {"ComboBox", WindowKind::ComboBox},
    {WC_TREEVIEWA, WindowKind::TreeView}, {"#32770", WindowKind::Dialog}, {"MorvHostWindow", WindowKind::Host},
};

}  // namespace

std::vector<HWND> GetChildWindows(HWND window)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

WindowKind GetWindowKind(HWND window)
{
    char name[64] = {};
    if (!GetClassNameA(window, name, sizeof name))
        return WindowKind::Generic;
    for (const ClassKind &entry : CLASS_KINDS)
        if (lstrcmpiA(name, entry.name) == 0)
            return entry.kind;
    return WindowKind::Generic;
}

DWORD GetWindowStyle(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)); }

DWORD GetWindowExStyle(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)); }

CString GetWindowString(HWND window)
{
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return CString(std::move(text));
}
