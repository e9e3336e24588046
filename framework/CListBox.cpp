#include "CListBox.h"

#include "OwnerDrawRouting.h"

int CListBox::GetText(int index, CString& text) const {
  const int length = GetTextLen(index);
  if (length == LB_ERR) {
    text.Empty();
    return LB_ERR;
  }
  char* buffer = text.GetBufferSetLength(length + 1);
  const int copied = static_cast<int>(SendMessage(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer)));
  text.ReleaseBuffer(copied == LB_ERR ? 0 : copied);
  return copied;
}

void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}
void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}
int CListBox::CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
void CListBox::DeleteItem(LPDELETEITEMSTRUCT) {}

bool CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  return RouteOwnerDraw(*this, message, lParam, result) || CWnd::OnChildNotify(message, wParam, lParam, result);
}
