#include "host/page/page_layout.h"

#include <algorithm>

namespace {

int Column(LONG x) { return static_cast<int>(x) * COLUMNS_PER_25_DIALOG_UNITS / 25; }

int PageColumns(HWND page)
{
    const RECT rect = GetWindowRect(page);
    return Column(rect.right - rect.left);
}

int PageRows(HWND page)
{
    int rows = 0;
    for (const HWND child : GetChildWindows(page))
        rows = std::max(rows, ItemCells(GetWindowRect(child)).row + 1);
    return rows;
}

void ReadVisibleChildren(HWND page, int firstRow, std::vector<PageItem> &items)
{
    for (const HWND child : GetChildWindows(page)) {
        if (!IsWindowVisible(child))
            continue;
        CellBox cells = ItemCells(GetWindowRect(child));
        cells.row += firstRow;
        items.push_back(PageItem{child, GetWindowKind(child), GetWindowStyle(child), cells, GetWindowString(child).str()});
    }
}

}  // namespace

CellBox ItemCells(const RECT &dialogUnits)
{
    const LONG lineHeight = std::min<LONG>(dialogUnits.bottom - dialogUnits.top, FIELD_LINE_UNITS);
    const int middle = static_cast<int>(2 * dialogUnits.top + lineHeight) / 2;
    const int left = Column(dialogUnits.left);
    return CellBox{middle / DIALOG_UNITS_PER_ROW, left, Column(dialogUnits.right) - left, 1};
}

StackedPages ReadPages(const std::vector<HWND> &pages)
{
    StackedPages stack;
    for (const HWND page : pages) {
        const int firstRow = stack.box.height == 0 ? 0 : stack.box.height + 1;
        ReadVisibleChildren(page, firstRow, stack.items);
        stack.box.width = std::max(stack.box.width, PageColumns(page));
        stack.box.height = firstRow + PageRows(page);
    }
    return stack;
}

bool TakesFocus(const PageItem &item) { return (item.style & WS_TABSTOP) != 0; }
