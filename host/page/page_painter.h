// Draws dialog pages on the terminal that a TerminalScreen holds: a title
// line, the pages' controls where page_layout puts them (labels as their
// texts, rules as lines, fields in brackets, the focused one highlighted
// with the caret in it), a notice of up to two lines and a line of keys.
// Host's thread only.
#pragma once

#include "host/page/page_layout.h"

#include <cstddef>
#include <string>

struct PageView {
    std::string title;  // UTF-8
    StackedPages pages;
    HWND focus = nullptr;
    std::size_t caret = 0;  // in the focused edit's text
    std::string notice;     // UTF-8, empty for none
    std::string keys;       // UTF-8: what the keys do
};

// The rows the terminal needs beyond the pages' own: the title with a
// blank line under it, the notice and the keys.
constexpr int ROWS_AROUND_PAGE = 5;

void PaintPage(const PageView &view);
