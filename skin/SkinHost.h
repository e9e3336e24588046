#pragma once
// The subclass the skin puts on the parent of every skinned control: it draws
// the entries of skinned owner-drawn list boxes and report lists with their
// icon and text, keeps owner-drawn sorted list boxes in insertion order (their
// entries carry no text to sort by), and gives skinned labels the skin's
// colours when the parent leaves them at the system's defaults.
#include <windows.h>
#include <commctrl.h>

class SkinState;

class SkinHost {
 public:
  static void Install(HWND parent);

 private:
  static LRESULT CALLBACK Proc(HWND wnd, UINT message, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);
  static bool DrawListBoxEntry(const DRAWITEMSTRUCT& draw);
  static LRESULT CustomDrawList(SkinState& state, NMLVCUSTOMDRAW& draw);
  static LRESULT CustomDrawTree(NMTVCUSTOMDRAW& draw);
  static void PaintListCell(SkinState& state, HDC dc, int row, int column);
  static LRESULT ControlColour(HWND parent, HDC dc, HWND control, LRESULT original);
};
