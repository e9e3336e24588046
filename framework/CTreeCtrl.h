#pragma once
// A tree view control. Trees that handle their own clicks and menu commands
// derive from it with their own message map (ON_WM_LBUTTONDBLCLK,
// ON_WM_RBUTTONDOWN, ON_COMMAND for the commands of a popup menu they own,
// ON_NOTIFY_REFLECT for notifications such as NM_DBLCLK).
#include <windows.h>

#include <commctrl.h>

#include "CPoint.h"
#include "CString.h"
#include "CWnd.h"

class ORBFW_API CTreeCtrl : public CWnd {
 public:
  ~CTreeCtrl() override;
  // Appends (after = TVI_LAST) a node with this text under parent (TVI_ROOT:
  // top level); nullptr when the control refuses.
  HTREEITEM InsertItem(const char* text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST);
  HTREEITEM InsertItem(const char* text, int image, int selectedImage, HTREEITEM parent = TVI_ROOT,
                       HTREEITEM after = TVI_LAST);
  BOOL DeleteItem(HTREEITEM item) { return static_cast<BOOL>(SendMessage(TVM_DELETEITEM, 0, Item(item))); }
  BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(TVM_DELETEITEM, 0, Item(TVI_ROOT))); }
  BOOL SetItemData(HTREEITEM item, DWORD_PTR data);
  DWORD_PTR GetItemData(HTREEITEM item) const;
  CString GetItemText(HTREEITEM item) const;
  BOOL SetItemText(HTREEITEM item, const char* text);
  UINT GetItemState(HTREEITEM item, UINT mask) const {
    return static_cast<UINT>(SendMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), mask));
  }
  BOOL SetItemState(HTREEITEM item, UINT state, UINT mask);

  HTREEITEM GetNextItem(HTREEITEM item, UINT code) const {
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, code, Item(item)));
  }
  HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
  HTREEITEM GetParentItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PARENT); }
  HTREEITEM GetChildItem(HTREEITEM item) const { return GetNextItem(item, TVGN_CHILD); }
  HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }
  HTREEITEM GetPrevSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PREVIOUS); }
  HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
  HTREEITEM GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
  BOOL ItemHasChildren(HTREEITEM item) const { return GetChildItem(item) != nullptr; }
  UINT GetCount() const { return static_cast<UINT>(SendMessage(TVM_GETCOUNT)); }

  BOOL SelectItem(HTREEITEM item) { return Select(item, TVGN_CARET); }
  BOOL Select(HTREEITEM item, UINT code) { return static_cast<BOOL>(SendMessage(TVM_SELECTITEM, code, Item(item))); }
  // code: TVE_EXPAND, TVE_COLLAPSE or TVE_TOGGLE.
  BOOL Expand(HTREEITEM item, UINT code) { return static_cast<BOOL>(SendMessage(TVM_EXPAND, code, Item(item))); }
  BOOL IsExpanded(HTREEITEM item) const { return (GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0; }
  BOOL EnsureVisible(HTREEITEM item) { return static_cast<BOOL>(SendMessage(TVM_ENSUREVISIBLE, 0, Item(item))); }
  // The node under a point in client coordinates, or nullptr; flags get TVHT_*.
  HTREEITEM HitTest(CPoint point, UINT* flags = nullptr) const;
  BOOL GetItemRect(HTREEITEM item, LPRECT rect, BOOL textOnly) const;
  HIMAGELIST SetImageList(HIMAGELIST list, int type) {
    return reinterpret_cast<HIMAGELIST>(SendMessage(TVM_SETIMAGELIST, static_cast<WPARAM>(type), reinterpret_cast<LPARAM>(list)));
  }

 private:
  static LPARAM Item(HTREEITEM item) { return reinterpret_cast<LPARAM>(item); }
};
