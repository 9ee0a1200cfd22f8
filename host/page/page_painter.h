// Draws a dialog page on the terminal that a TerminalScreen holds: a title
// line, the page's controls where page_layout puts them (labels as their
// texts, rules as lines, fields in brackets, the focused one highlighted
// with the caret in it) and a line of keys. Host's thread only.
#pragma once

#include "host/page/page_layout.h"

#include <cstddef>
#include <string>

struct PageView {
    std::string title;  // UTF-8
    CellBox page;
    std::vector<PageItem> items;
    HWND focus = nullptr;
    std::size_t caret = 0;  // in the focused edit's text
};

// The rows the terminal needs beyond the page's own: the title with a
// blank line under it, and the keys.
constexpr int ROWS_AROUND_PAGE = 3;

void PaintPage(const PageView &view);
