// Where the controls of dialog pages stand on a terminal: each page as the
// window model holds it (kinds, texts, styles, positions in dialog units)
// read afresh and mapped to character cells, the pages one under another.
// Pure but for the functions that read windows.
#pragma once

#include "platform/user_interface.h"

#include <string>
#include <vector>

// A terminal cell is 8 dialog units high, as a line of the page's font;
// it holds one letter, and the page's labels are set in a proportional
// font of about three units a letter, so a cell is 25/8 units wide: the
// labels keep clear of the fields beside them, and a 250-unit page takes
// 80 columns.
constexpr int DIALOG_UNITS_PER_ROW = 8;
constexpr int COLUMNS_PER_25_DIALOG_UNITS = 8;
// A field is one line of text however high its window: a drop-down list's
// height is that of its open list.
constexpr int FIELD_LINE_UNITS = 12;

struct CellBox {
    int row = 0;
    int column = 0;
    int width = 0;
    int height = 0;  // rows
};

// The row holds the middle of the window's first line of text; columns
// run from its left to its right edge.
CellBox ItemCells(const RECT &dialogUnits);

struct PageItem {
    HWND window = nullptr;
    WindowKind kind = WindowKind::Generic;
    DWORD style = 0;
    CellBox cells;
    std::string text;  // Windows-1251, one cell a byte
};

// The pages one under another, a blank row between two. Each takes the
// columns of its width and the rows down to its lowest control, shown or
// hidden, so that nothing moves when a page shows other controls; the
// empty rows below are left out.
struct StackedPages {
    CellBox box;                  // all of them
    std::vector<PageItem> items;  // the visible children, page by page in tab order
};
StackedPages ReadPages(const std::vector<HWND> &pages);
// Whether the focus may move to the item with Tab.
bool TakesFocus(const PageItem &item);
