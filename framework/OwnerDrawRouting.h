#pragma once
// The owner-draw requests a parent passes on to its combo or list box: each
// goes to the control's own DrawItem, MeasureItem, CompareItem or DeleteItem.
#include <windows.h>

template <typename Control>
bool RouteOwnerDraw(Control& control, UINT message, LPARAM lParam, LRESULT* result) {
  switch (message) {
    case WM_DRAWITEM:
      control.DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
      *result = TRUE;
      return true;
    case WM_MEASUREITEM:
      control.MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
      *result = TRUE;
      return true;
    case WM_COMPAREITEM:
      *result = control.CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
      return true;
    case WM_DELETEITEM:
      control.DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
      *result = TRUE;
      return true;
    default:
      return false;
  }
}
