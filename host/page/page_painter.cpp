#include "host/page/page_painter.h"

#include "host/text/text_codec.h"

#include <curses.h>

#include <algorithm>
#include <string_view>

namespace {

constexpr int PAGE_TOP = 2;
constexpr int NOTICE_LINES = 2;
constexpr const wchar_t *LIST_BUTTON = L"\u25be]";

struct Place {
    int row;
    int column;
};

// Windows-1251 bytes are one cell each.
void Put(Place at, std::string_view ansi, attr_t attributes = A_NORMAL)
{
    attrset(attributes);
    mvaddwstr(at.row, at.column, AnsiToWide(ansi).c_str());
    attrset(A_NORMAL);
}

Place Origin(const PageItem &item) { return Place{PAGE_TOP + item.cells.row, item.cells.column}; }

void PaintLabel(const PageItem &item)
{
    const int width = static_cast<int>(item.text.size());
    const bool right = (item.style & SS_TYPEMASK) == SS_RIGHT;
    Place at = Origin(item);
    if (right)
        at.column = std::max(0, at.column + item.cells.width - width);
    Put(at, item.text);
}

void PaintRule(const PageItem &item)
{
    const Place at = Origin(item);
    mvhline(at.row, at.column, ACS_HLINE, item.cells.width);
}

// The part of a field's text that shows: the caret always in sight.
std::string_view Visible(std::string_view text, int width, std::size_t caret)
{
    const std::size_t room = static_cast<std::size_t>(std::max(width, 1));
    const std::size_t first = caret >= room ? caret - room + 1 : 0;
    return text.substr(std::min(first, text.size()), room);
}

// "[text     ]", highlighted when focused; a list ends in its button.
// Returns where the caret goes.
Place PaintField(const PageItem &item, bool focused, std::size_t caret)
{
    const bool list = item.kind == WindowKind::ComboBox;
    const int room = item.cells.width - (list ? 3 : 2);
    const Place at = Origin(item);
    const std::string_view shown = Visible(item.text, room, focused ? caret : 0);
    std::string padded(shown);
    padded.resize(static_cast<std::size_t>(std::max(room, 0)), ' ');
    mvaddstr(at.row, at.column, "[");
    Put(Place{at.row, at.column + 1}, padded, focused ? A_REVERSE : A_UNDERLINE);
    mvaddwstr(at.row, at.column + 1 + room, list ? LIST_BUTTON : L"]");
    const std::size_t offset = list ? 0 : caret - static_cast<std::size_t>(shown.data() - item.text.data());
    return Place{at.row, at.column + 1 + static_cast<int>(offset)};
}

bool IsRule(const PageItem &item) { return (item.style & SS_TYPEMASK) == SS_BLACKFRAME; }

bool Fits(const CellBox &page) { return COLS >= page.width && LINES >= page.height + ROWS_AROUND_PAGE; }

// The notice in the lines above the keys, broken at a blank where it is
// wider than the terminal.
void PaintNotice(const std::string &utf8)
{
    std::wstring rest = Utf8ToWide(utf8);
    const std::size_t width = static_cast<std::size_t>(std::max(COLS, 1));
    for (int line = 0; line < NOTICE_LINES && !rest.empty(); ++line) {
        std::size_t cut = rest.size() <= width ? rest.size() : rest.rfind(L' ', width);
        if (cut == std::wstring::npos || cut == 0)
            cut = std::min(width, rest.size());
        mvaddnwstr(LINES - 1 - NOTICE_LINES + line, 0, rest.c_str(), static_cast<int>(cut));
        rest.erase(0, rest.compare(cut, 1, L" ") == 0 ? cut + 1 : cut);
    }
}

void PaintTooSmall(const CellBox &page)
{
    mvprintw(0, 0, "The page needs a terminal of %d x %d; this one is %d x %d.", page.width,
             page.height + ROWS_AROUND_PAGE, COLS, LINES);
    mvaddstr(1, 0, "Enlarge it, or press Esc to leave.");
}

}  // namespace

void PaintPage(const PageView &view)
{
    erase();
    if (!Fits(view.pages.box)) {
        PaintTooSmall(view.pages.box);
        curs_set(0);
        refresh();
        return;
    }
    mvaddwstr(0, 0, Utf8ToWide(view.title).c_str());
    Place caret{-1, -1};
    for (const PageItem &item : view.pages.items) {
        if (item.kind == WindowKind::Static)
            IsRule(item) ? PaintRule(item) : PaintLabel(item);
        else if (item.kind == WindowKind::Edit || item.kind == WindowKind::ComboBox) {
            const Place at = PaintField(item, item.window == view.focus, view.caret);
            if (item.window == view.focus)
                caret = at;
        }
    }
    PaintNotice(view.notice);
    mvaddwstr(LINES - 1, 0, Utf8ToWide(view.keys).c_str());
    curs_set(caret.row < 0 ? 0 : 1);
    if (caret.row >= 0)
        move(caret.row, caret.column);
    refresh();
}
