// CTreeCtrl. Layer: framework/.
#include "framework/TreeCtrl.h"

IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)

bool CTreeCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, DWORD exStyle) {
    return CreateEx(exStyle, WC_TREEVIEWA, nullptr, style | WS_CHILD, rect, parent, id);
}

LPARAM CTreeCtrl::GetItemData(HTREEITEM item) const {
    TVITEMA tv = {};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    return GetItem(&tv) ? tv.lParam : 0;
}

UINT CTreeCtrl::GetItemState(HTREEITEM item, UINT mask) const {
    return static_cast<UINT>(SendMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), mask)) &
           mask;
}

bool CTreeCtrl::SetItemState(HTREEITEM item, UINT state, UINT mask) {
    TVITEMA tv = {};
    tv.mask = TVIF_STATE | TVIF_HANDLE;
    tv.hItem = item;
    tv.state = state;
    tv.stateMask = mask;
    return SetItem(tv);
}

std::string CTreeCtrl::GetItemText(HTREEITEM item) const {
    char buffer[1024] = "";
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = buffer;
    tv.cchTextMax = sizeof buffer;
    if (!GetItem(&tv))
        return std::string();
    // A callback item may answer with a pointer of its own instead of filling the buffer.
    return tv.pszText && tv.pszText != LPSTR_TEXTCALLBACKA ? std::string(tv.pszText)
                                                           : std::string();
}

HTREEITEM CTreeCtrl::HitTest(POINT pt, UINT* flags) const {
    TVHITTESTINFO info = {};
    info.pt = pt;
    HTREEITEM item =
        reinterpret_cast<HTREEITEM>(SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (flags)
        *flags = info.flags;
    return item;
}

bool CTreeCtrl::SortChildrenCB(HTREEITEM parent, PFNTVCOMPARE compare, LPARAM data) {
    TVSORTCB sort = {};
    sort.hParent = parent;
    sort.lpfnCompare = compare;
    sort.lParam = data;
    return SendMessage(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort)) != 0;
}

bool CTreeCtrl::GetItemRect(HTREEITEM item, RECT* rc, bool textOnly) const {
    *reinterpret_cast<HTREEITEM*>(rc) = item;
    return SendMessage(TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(rc)) != 0;
}
