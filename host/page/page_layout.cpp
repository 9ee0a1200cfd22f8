#include "host/page/page_layout.h"

#include <algorithm>

namespace {

int Column(LONG x) { return static_cast<int>(x) * COLUMNS_PER_25_DIALOG_UNITS / 25; }

}  // namespace

CellBox ItemCells(const RECT &dialogUnits)
{
    const LONG lineHeight = std::min<LONG>(dialogUnits.bottom - dialogUnits.top, FIELD_LINE_UNITS);
    const int middle = static_cast<int>(2 * dialogUnits.top + lineHeight) / 2;
    const int left = Column(dialogUnits.left);
    return CellBox{middle / DIALOG_UNITS_PER_ROW, left, Column(dialogUnits.right) - left, 1};
}

CellBox PageCells(const RECT &dialogUnits)
{
    const int height = static_cast<int>(dialogUnits.bottom - dialogUnits.top) / DIALOG_UNITS_PER_ROW;
    return CellBox{0, 0, Column(dialogUnits.right - dialogUnits.left), height};
}

std::vector<PageItem> ReadPage(HWND page)
{
    std::vector<PageItem> items;
    for (const HWND child : GetChildWindows(page)) {
        if (!IsWindowVisible(child))
            continue;
        items.push_back(PageItem{child, GetWindowKind(child), GetWindowStyle(child), ItemCells(GetWindowRect(child)),
                                 GetWindowString(child).str()});
    }
    return items;
}

bool TakesFocus(const PageItem &item) { return (item.style & WS_TABSTOP) != 0; }
