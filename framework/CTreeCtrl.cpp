#include "CTreeCtrl.h"

#include <vector>

HTREEITEM CTreeCtrl::InsertItem(const char* text, HTREEITEM parent, HTREEITEM after) {
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<char*>(text ? text : "");
  return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

HTREEITEM CTreeCtrl::InsertItem(const char* text, int image, int selectedImage, HTREEITEM parent, HTREEITEM after) {
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<char*>(text ? text : "");
  insert.item.iImage = image;
  insert.item.iSelectedImage = selectedImage;
  return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

BOOL CTreeCtrl::SetItemData(HTREEITEM item, DWORD_PTR data) {
  TVITEMA info{};
  info.mask = TVIF_PARAM;
  info.hItem = item;
  info.lParam = static_cast<LPARAM>(data);
  return static_cast<BOOL>(SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&info)));
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM item) const {
  TVITEMA info{};
  info.mask = TVIF_PARAM;
  info.hItem = item;
  if (!item || !SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info))) return 0;
  return static_cast<DWORD_PTR>(info.lParam);
}

CString CTreeCtrl::GetItemText(HTREEITEM item) const {
  if (!item) return CString();
  // The control does not tell the length; grow the buffer until the text fits.
  for (int size = 1024; size <= (1 << 20); size *= 4) {
    std::vector<char> buffer(static_cast<size_t>(size));
    TVITEMA info{};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = buffer.data();
    info.cchTextMax = size;
    if (!SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info))) return CString();
    CString text(info.pszText);
    if (text.GetLength() < size - 1) return text;
  }
  return CString();
}

BOOL CTreeCtrl::SetItemText(HTREEITEM item, const char* text) {
  TVITEMA info{};
  info.mask = TVIF_TEXT;
  info.hItem = item;
  info.pszText = const_cast<char*>(text ? text : "");
  return static_cast<BOOL>(SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&info)));
}

BOOL CTreeCtrl::SetItemState(HTREEITEM item, UINT state, UINT mask) {
  TVITEMA info{};
  info.mask = TVIF_STATE;
  info.hItem = item;
  info.state = state;
  info.stateMask = mask;
  return static_cast<BOOL>(SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&info)));
}

HTREEITEM CTreeCtrl::HitTest(CPoint point, UINT* flags) const {
  TVHITTESTINFO info{};
  info.pt = point;
  auto* item = reinterpret_cast<HTREEITEM>(SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
  if (flags) *flags = info.flags;
  return item;
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM item, LPRECT rect, BOOL textOnly) const {
  if (!rect || !item) return FALSE;
  // TVM_GETITEMRECT takes the item handle in the rectangle's memory.
  *reinterpret_cast<HTREEITEM*>(rect) = item;
  return static_cast<BOOL>(SendMessage(TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(rect)));
}

CTreeCtrl::~CTreeCtrl() = default;
