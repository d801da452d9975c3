// CTreeCtrl: a thin wrapper of the system tree view control. Layer: framework/.
#pragma once

#include "framework/Wnd.h"

#include <commctrl.h>

class CTreeCtrl : public CWnd {
    DECLARE_DYNAMIC(CTreeCtrl)
public:
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, DWORD exStyle = 0);

    HTREEITEM InsertItem(const TVINSERTSTRUCTA& insert) {
        return reinterpret_cast<HTREEITEM>(
            SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    bool DeleteItem(HTREEITEM item) {
        return SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != 0;
    }
    bool DeleteAllItems() { return DeleteItem(TVI_ROOT); }
    bool Expand(HTREEITEM item, UINT code) {
        return SendMessage(TVM_EXPAND, code, reinterpret_cast<LPARAM>(item)) != 0;
    }
    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const {
        return reinterpret_cast<HTREEITEM>(
            SendMessage(TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetChildItem(HTREEITEM item) const { return GetNextItem(item, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }
    HTREEITEM GetParentItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PARENT); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    bool SelectItem(HTREEITEM item) {
        return SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0;
    }
    bool GetItem(TVITEMA* item) const {
        return SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(item)) != 0;
    }
    bool SetItem(const TVITEMA& item) {
        return SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0;
    }
    LPARAM GetItemData(HTREEITEM item) const;
    UINT GetItemState(HTREEITEM item, UINT mask) const;
    bool SetItemState(HTREEITEM item, UINT state, UINT mask);
    // The item's text as the control shows it (asking the owner for callback texts).
    std::string GetItemText(HTREEITEM item) const;
    bool ItemHasChildren(HTREEITEM item) const { return GetChildItem(item) != nullptr; }
    int GetCount() const { return static_cast<int>(SendMessage(TVM_GETCOUNT)); }
    HIMAGELIST SetImageList(HIMAGELIST images, int which) {
        return reinterpret_cast<HIMAGELIST>(SendMessage(
            TVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(images)));
    }
    HIMAGELIST GetImageList(int which) const {
        return reinterpret_cast<HIMAGELIST>(SendMessage(TVM_GETIMAGELIST, which));
    }
    // The item at a client point and where on it the point lies (TVHT_ flags).
    HTREEITEM HitTest(POINT pt, UINT* flags = nullptr) const;
    HWND EditLabel(HTREEITEM item) {
        return reinterpret_cast<HWND>(
            SendMessage(TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(item)));
    }
    HWND GetEditControl() const { return reinterpret_cast<HWND>(SendMessage(TVM_GETEDITCONTROL)); }
    bool EndEditLabelNow(bool cancel) { return SendMessage(TVM_ENDEDITLABELNOW, cancel) != 0; }
    bool SortChildrenCB(HTREEITEM parent, PFNTVCOMPARE compare, LPARAM data);
    bool GetItemRect(HTREEITEM item, RECT* rc, bool textOnly) const;
    bool EnsureVisible(HTREEITEM item) {
        return SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item)) != 0;
    }
};
