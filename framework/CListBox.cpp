#include "CListBox.h"

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
  switch (message) {
    case WM_DRAWITEM:
      DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
      *result = TRUE;
      return true;
    case WM_MEASUREITEM:
      MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
      *result = TRUE;
      return true;
    case WM_COMPAREITEM:
      *result = CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
      return true;
    case WM_DELETEITEM:
      DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
      *result = TRUE;
      return true;
    default:
      return CWnd::OnChildNotify(message, wParam, lParam, result);
  }
}
