// CTreeCtrl: a tree view control and its items. The host creates it as a
// child of its settings window and owns the object; the items (text, item
// data, children) live in the control (the system's tree view on Windows,
// the object elsewhere), and the tree never owns what an item's data points
// to. Owner thread only.
#pragma once

#include "platform/wnd.h"

#include <cstdint>
#include <memory>
#include <vector>

#if !defined(_WIN32)
struct TreeItem;
using HTREEITEM = TreeItem *;

constexpr UINT TVIF_TEXT = 0x0001;
constexpr UINT TVIF_IMAGE = 0x0002;
constexpr UINT TVIF_PARAM = 0x0004;
constexpr UINT TVIF_STATE = 0x0008;
constexpr UINT TVIF_SELECTEDIMAGE = 0x0020;

inline const HTREEITEM TVI_ROOT = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x10000));
inline const HTREEITEM TVI_FIRST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFF));
inline const HTREEITEM TVI_LAST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFE));

struct TreeItem {
    CString text;
    LPARAM data = 0;
    int image = 0;
    int selectedImage = 0;
    UINT state = 0;
    TreeItem *parent = nullptr;
    std::vector<std::unique_ptr<TreeItem>> children;
};
#endif

class CTreeCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT &rect, CWnd *parent, UINT id);

    // Adds an item under `parent` (TVI_ROOT: top level) after `insertAfter`
    // (TVI_FIRST, TVI_LAST or a sibling; anything else counts as TVI_LAST),
    // setting only the fields that `mask` names. Null when the control has
    // no window of the calling thread or `parent` is no item of this tree.
    HTREEITEM InsertItem(UINT mask, const char *text, int image, int selectedImage, UINT state, UINT stateMask,
                         LPARAM lParam, HTREEITEM parent, HTREEITEM insertAfter);
    HTREEITEM InsertItem(const char *text, HTREEITEM parent = TVI_ROOT, HTREEITEM insertAfter = TVI_LAST);

    HTREEITEM GetRootItem() const;
    HTREEITEM GetChildItem(HTREEITEM item) const;
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const;
    HTREEITEM GetParentItem(HTREEITEM item) const;
    CString GetItemText(HTREEITEM item) const;
    LPARAM GetItemData(HTREEITEM item) const;
    UINT GetCount() const;

    // Removes the item and its children; the data they carry is the
    // caller's to free first.
    BOOL DeleteItem(HTREEITEM item);
    BOOL DeleteAllItems();

#if !defined(_WIN32)
private:
    bool Contains(HTREEITEM item) const;
    const std::vector<std::unique_ptr<TreeItem>> *ListOf(HTREEITEM parent) const;

    TreeItem m_root;
#endif
};
