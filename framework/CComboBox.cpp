#include "CComboBox.h"

#include "OwnerDrawRouting.h"

int CComboBox::GetLBText(int index, CString& text) const {
  const int length = GetLBTextLen(index);
  if (length == CB_ERR) {
    text.Empty();
    return CB_ERR;
  }
  char* buffer = text.GetBufferSetLength(length + 1);
  const int copied = static_cast<int>(SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer)));
  text.ReleaseBuffer(copied == CB_ERR ? 0 : copied);
  return copied;
}

CString CComboBox::GetLBText(int index) const {
  CString text;
  GetLBText(index, text);
  return text;
}

void CComboBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CComboBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CComboBox::CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
void CComboBox::DeleteItem(LPDELETEITEMSTRUCT) {}

bool CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  return RouteOwnerDraw(*this, message, lParam, result) || CWnd::OnChildNotify(message, wParam, lParam, result);
}

void CComboBox::PreSubclassWindow() {
  if (!(GetStyle() & CBS_OWNERDRAWFIXED) || (GetStyle() & CBS_OWNERDRAWVARIABLE) == CBS_OWNERDRAWVARIABLE) return;
  MEASUREITEMSTRUCT item{};
  item.CtlType = ODT_COMBOBOX;
  item.CtlID = static_cast<UINT>(GetDlgCtrlID());
  item.itemID = 0;
  item.itemHeight = static_cast<UINT>(GetItemHeight(0));
  MeasureItem(&item);
  if (item.itemHeight > 0) SetItemHeight(0, item.itemHeight);
}
