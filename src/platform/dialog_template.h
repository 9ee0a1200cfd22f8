// Dialog templates as data: a module lists its templates in its
// ResourceModule, and CDialog::Create finds them through the calling
// thread's resource handle. Positions and sizes are in dialog units; an
// item's WS_VISIBLE style is its visibility at creation.
#pragma once

#include "platform/resources.h"
#include "platform/user_interface.h"

#include <span>

struct DialogItemTemplate {
    int id;  // -1 for labels that code never addresses
    WindowKind kind;
    const char *text;
    short x;
    short y;
    short cx;
    short cy;
    DWORD style;
    DWORD exStyle;
};

struct DialogTemplate {
    UINT id;
    bool extended;
    DWORD style;
    DWORD exStyle;
    short x;
    short y;
    short cx;
    short cy;
    const char *caption;
    const char *fontName;
    WORD pointSize;
    std::span<const DialogItemTemplate> items;  // in tab order
};

// Template `id` of `module`; null when the module has none.
const DialogTemplate *FindDialogTemplate(HINSTANCE module, UINT id);
