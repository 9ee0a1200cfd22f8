#include "platform/tree_ctrl.h"

#include "platform/posix/window_object.h"

#include <algorithm>

namespace {

using Children = std::vector<std::unique_ptr<TreeItem>>;

bool Holds(const TreeItem &node, HTREEITEM item)
{
    return std::any_of(node.children.begin(), node.children.end(),
                       [item](const auto &child) { return child.get() == item || Holds(*child, item); });
}

UINT CountBelow(const TreeItem &node)
{
    UINT count = 0;
    for (const auto &child : node.children)
        count += 1 + CountBelow(*child);
    return count;
}

Children::const_iterator Find(const Children &list, HTREEITEM item)
{
    return std::find_if(list.begin(), list.end(), [item](const auto &child) { return child.get() == item; });
}

Children::const_iterator PositionAfter(const Children &list, HTREEITEM insertAfter)
{
    if (insertAfter == TVI_FIRST)
        return list.begin();
    const auto found = Find(list, insertAfter);
    return found == list.end() ? found : found + 1;
}

std::unique_ptr<TreeItem> MakeItem(UINT mask, const char *text, int image, int selectedImage, UINT state,
                                   UINT stateMask, LPARAM lParam)
{
    auto item = std::make_unique<TreeItem>();
    if (mask & TVIF_TEXT)
        item->text = text;
    if (mask & TVIF_PARAM)
        item->data = lParam;
    if (mask & TVIF_IMAGE)
        item->image = image;
    if (mask & TVIF_SELECTEDIMAGE)
        item->selectedImage = selectedImage;
    if (mask & TVIF_STATE)
        item->state = state & stateMask;
    return item;
}

}  // namespace

BOOL CTreeCtrl::Create(DWORD style, const RECT &rect, CWnd *parent, UINT id)
{
    return CreateEx(0, "SysTreeView32", "", style, rect, parent, id);
}

HTREEITEM CTreeCtrl::InsertItem(UINT mask, const char *text, int image, int selectedImage, UINT state,
                                UINT stateMask, LPARAM lParam, HTREEITEM parent, HTREEITEM insertAfter)
{
    if (!window_table::IsOwn(m_hWnd))
        return nullptr;
    TreeItem *owner = (!parent || parent == TVI_ROOT) ? &m_root : (Contains(parent) ? parent : nullptr);
    if (!owner)
        return nullptr;
    auto item = MakeItem(mask, text, image, selectedImage, state, stateMask, lParam);
    item->parent = owner;
    const HTREEITEM handle = item.get();
    owner->children.insert(PositionAfter(owner->children, insertAfter), std::move(item));
    return handle;
}

HTREEITEM CTreeCtrl::InsertItem(const char *text, HTREEITEM parent, HTREEITEM insertAfter)
{
    return InsertItem(TVIF_TEXT, text, 0, 0, 0, 0, 0, parent, insertAfter);
}

HTREEITEM CTreeCtrl::GetRootItem() const
{
    return m_root.children.empty() ? nullptr : m_root.children.front().get();
}

HTREEITEM CTreeCtrl::GetChildItem(HTREEITEM item) const
{
    const auto *list = ListOf(item);
    return list && !list->empty() ? list->front().get() : nullptr;
}

HTREEITEM CTreeCtrl::GetNextSiblingItem(HTREEITEM item) const
{
    if (!Contains(item))
        return nullptr;
    const Children &siblings = item->parent->children;
    const auto next = Find(siblings, item) + 1;
    return next == siblings.end() ? nullptr : next->get();
}

HTREEITEM CTreeCtrl::GetParentItem(HTREEITEM item) const
{
    return Contains(item) && item->parent != &m_root ? item->parent : nullptr;
}

CString CTreeCtrl::GetItemText(HTREEITEM item) const { return Contains(item) ? item->text : CString(); }

LPARAM CTreeCtrl::GetItemData(HTREEITEM item) const { return Contains(item) ? item->data : 0; }

UINT CTreeCtrl::GetCount() const { return CountBelow(m_root); }

BOOL CTreeCtrl::DeleteItem(HTREEITEM item)
{
    if (item == TVI_ROOT)
        return DeleteAllItems();
    if (!Contains(item))
        return FALSE;
    Children &siblings = item->parent->children;
    siblings.erase(Find(siblings, item));
    return TRUE;
}

BOOL CTreeCtrl::DeleteAllItems()
{
    m_root.children.clear();
    return TRUE;
}

bool CTreeCtrl::Contains(HTREEITEM item) const { return item && Holds(m_root, item); }

const std::vector<std::unique_ptr<TreeItem>> *CTreeCtrl::ListOf(HTREEITEM parent) const
{
    if (!parent || parent == TVI_ROOT)
        return &m_root.children;
    return Contains(parent) ? &parent->children : nullptr;
}
