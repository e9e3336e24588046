#include "CListCtrl.h"

#include <vector>

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width, int subItem) {
  LVCOLUMNA info{};
  info.mask = LVCF_FMT | LVCF_TEXT;
  info.fmt = format;
  info.pszText = const_cast<char*>(heading ? heading : "");
  if (width >= 0) {
    info.mask |= LVCF_WIDTH;
    info.cx = width;
  }
  if (subItem >= 0) {
    info.mask |= LVCF_SUBITEM;
    info.iSubItem = subItem;
  }
  const int index = static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info)));
  if (index >= 0 && width < 0) SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index), LVSCW_AUTOSIZE_USEHEADER);
  return index;
}

int CListCtrl::InsertItem(int index, const char* text) {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = const_cast<char*>(text ? text : "");
  return InsertItem(item);
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text) {
  LVITEMA info{};
  info.iSubItem = subItem;
  info.pszText = const_cast<char*>(text ? text : "");
  return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&info)));
}

CString CListCtrl::GetItemText(int item, int subItem) const {
  // The control does not tell the length; grow the buffer until the text fits.
  for (int size = 256; size <= (1 << 20); size *= 4) {
    std::vector<char> buffer(static_cast<size_t>(size));
    LVITEMA info{};
    info.iSubItem = subItem;
    info.pszText = buffer.data();
    info.cchTextMax = size;
    const int length =
        static_cast<int>(SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&info)));
    if (length < size - 1) return CString(info.pszText, length);
  }
  return CString();
}

BOOL CListCtrl::SetItemData(int item, DWORD_PTR data) {
  LVITEMA info{};
  info.mask = LVIF_PARAM;
  info.iItem = item;
  info.lParam = static_cast<LPARAM>(data);
  return static_cast<BOOL>(SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&info)));
}

DWORD_PTR CListCtrl::GetItemData(int item) const {
  LVITEMA info{};
  info.mask = LVIF_PARAM;
  info.iItem = item;
  if (!SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info))) return 0;
  return static_cast<DWORD_PTR>(info.lParam);
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
  LVITEMA info{};
  info.state = state;
  info.stateMask = mask;
  return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&info)));
}

int CListCtrl::HitTest(CPoint point, UINT* flags) const {
  LVHITTESTINFO info{};
  info.pt = point;
  const int item = static_cast<int>(SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
  if (flags) *flags = info.flags;
  return item;
}

int CListCtrl::SubItemHitTest(CPoint point, int* subItem) const {
  LVHITTESTINFO info{};
  info.pt = point;
  const int item = static_cast<int>(SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info)));
  if (subItem) *subItem = info.iSubItem;
  return item;
}

BOOL CListCtrl::GetItemRect(int item, LPRECT rect, UINT code) const {
  if (!rect) return FALSE;
  rect->left = static_cast<LONG>(code);
  return static_cast<BOOL>(SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(rect)));
}

CListCtrl::~CListCtrl() = default;
