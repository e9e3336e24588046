#pragma once
// A combo box. For an owner-drawn one, derive and override DrawItem,
// MeasureItem and CompareItem: the parent routes its WM_DRAWITEM,
// WM_MEASUREITEM and WM_COMPAREITEM for this control to them. When an
// owner-drawn fixed combo box is bound (DDX_Control, SubclassWindow), its list
// item height is taken from MeasureItem at once, since the control measured
// itself while the dialog was being created, before anything was bound.
#include "CString.h"
#include "CWnd.h"

class ORBFW_API CComboBox : public CWnd {
 public:
  int AddString(const char* text) { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, Text(text))); }
  int InsertString(int index, const char* text) {
    return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), Text(text)));
  }
  int DeleteString(UINT index) { return static_cast<int>(SendMessage(CB_DELETESTRING, index)); }
  void ResetContent() { SendMessage(CB_RESETCONTENT); }
  int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
  int SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
  // The entry's text; empty (and CB_ERR returned) for an index out of range.
  int GetLBText(int index, CString& text) const;
  CString GetLBText(int index) const;
  int GetLBTextLen(int index) const { return static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index))); }
  DWORD_PTR GetItemData(int index) const {
    return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(index)));
  }
  int SetItemData(int index, DWORD_PTR data) {
    return static_cast<int>(SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
  }
  // Case-insensitive prefix search starting after startAfter and wrapping
  // round to the beginning (-1 searches from the top); CB_ERR when none.
  int FindString(int startAfter, const char* text) const {
    return static_cast<int>(SendMessage(CB_FINDSTRING, static_cast<WPARAM>(startAfter), Text(text)));
  }
  int FindStringExact(int startAfter, const char* text) const {
    return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(startAfter), Text(text)));
  }
  int SelectString(int startAfter, const char* text) {
    return static_cast<int>(SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(startAfter), Text(text)));
  }
  int SetItemHeight(int index, UINT height) {
    return static_cast<int>(SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(index), height));
  }
  int GetItemHeight(int index) const {
    return static_cast<int>(SendMessage(CB_GETITEMHEIGHT, static_cast<WPARAM>(index)));
  }
  BOOL GetDroppedState() const { return static_cast<BOOL>(SendMessage(CB_GETDROPPEDSTATE)); }
  void ShowDropDown(BOOL show = TRUE) { SendMessage(CB_SHOWDROPDOWN, show); }

  virtual void DrawItem(LPDRAWITEMSTRUCT item);
  virtual void MeasureItem(LPMEASUREITEMSTRUCT item);
  virtual int CompareItem(LPCOMPAREITEMSTRUCT item);
  virtual void DeleteItem(LPDELETEITEMSTRUCT item);

 protected:
  bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void PreSubclassWindow() override;

 private:
  static LPARAM Text(const char* text) { return reinterpret_cast<LPARAM>(text ? text : ""); }
};
