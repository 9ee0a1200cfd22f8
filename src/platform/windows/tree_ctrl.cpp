#include "platform/tree_ctrl.h"

#include <string>

namespace {

HTREEITEM Next(HWND tree, UINT relation, HTREEITEM item)
{
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

bool GetItem(HWND tree, TVITEMA &item) { return SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)); }

}  // namespace

BOOL CTreeCtrl::Create(DWORD style, const RECT &rect, CWnd *parent, UINT id)
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    return registered && CreateEx(0, WC_TREEVIEWA, "", style, rect, parent, id);
}

HTREEITEM CTreeCtrl::InsertItem(UINT mask, const char *text, int image, int selectedImage, UINT state,
                                UINT stateMask, LPARAM lParam, HTREEITEM parent, HTREEITEM insertAfter)
{
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = insertAfter;
    insert.item.mask = mask;
    insert.item.pszText = const_cast<char *>(text);
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.state = state;
    insert.item.stateMask = stateMask;
    insert.item.lParam = lParam;
    return reinterpret_cast<HTREEITEM>(::SendMessageA(m_hWnd, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

HTREEITEM CTreeCtrl::InsertItem(const char *text, HTREEITEM parent, HTREEITEM insertAfter)
{
    return InsertItem(TVIF_TEXT, text, 0, 0, 0, 0, 0, parent, insertAfter);
}

HTREEITEM CTreeCtrl::GetRootItem() const { return Next(m_hWnd, TVGN_ROOT, nullptr); }

HTREEITEM CTreeCtrl::GetChildItem(HTREEITEM item) const { return Next(m_hWnd, TVGN_CHILD, item); }

HTREEITEM CTreeCtrl::GetNextSiblingItem(HTREEITEM item) const { return Next(m_hWnd, TVGN_NEXT, item); }

HTREEITEM CTreeCtrl::GetParentItem(HTREEITEM item) const { return Next(m_hWnd, TVGN_PARENT, item); }

CString CTreeCtrl::GetItemText(HTREEITEM item) const
{
    std::string text(1024, '\0');
    TVITEMA query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text.data();
    query.cchTextMax = static_cast<int>(text.size());
    if (!GetItem(m_hWnd, query))
        return CString();
    return CString(query.pszText);
}

LPARAM CTreeCtrl::GetItemData(HTREEITEM item) const
{
    TVITEMA query{};
    query.mask = TVIF_PARAM;
    query.hItem = item;
    return GetItem(m_hWnd, query) ? query.lParam : 0;
}

UINT CTreeCtrl::GetCount() const { return static_cast<UINT>(::SendMessageA(m_hWnd, TVM_GETCOUNT, 0, 0)); }

BOOL CTreeCtrl::DeleteItem(HTREEITEM item)
{
    return ::SendMessageA(m_hWnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != 0;
}

BOOL CTreeCtrl::DeleteAllItems() { return DeleteItem(TVI_ROOT); }
