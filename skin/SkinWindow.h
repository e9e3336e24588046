#pragma once
// The subclass the skin puts on every window it knows: paints the window's
// own look by kind (dialog and pane backgrounds, tabs, buttons, panes and
// splitters) and keeps the window's draw values in step with its entries.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

class SkinState;

class SkinWindow {
 public:
  static void Subclass(HWND wnd, SkinState* state);
  // Applies the look of the state's kind: colours and icons of trees, list
  // styles, and the skin's host on the parent for owner drawing and colours.
  static void ApplyLook(SkinState& state);
  // Shows a tree node's icon value on the node (trees only).
  static void RefreshTreeNode(SkinState& state, UINT_PTR node);

  // The background colour of a window as the skin paints it.
  static COLORREF BackgroundOf(HWND wnd);
  // The margin between a window's client edge and its controls.
  static int MarginOf(int kind);
  // The kind dialog-level skinning gives a child, 0 to leave it alone.
  static int KindForChild(HWND child);

  // What one entry or cell shows: the icon value (or an icon style) and the
  // text value; false when no text value is set.
  static std::string IconOf(SkinState& state, UINT_PTR item, int subItem);
  static bool TextOf(SkinState& state, UINT_PTR item, int subItem, std::string& text);

 private:
  static LRESULT CALLBACK Proc(HWND wnd, UINT message, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);
  static bool FollowEntries(SkinState& state, UINT message, WPARAM wp, LPARAM lp, LRESULT& result);
  static LRESULT Container(SkinState& state, UINT message, WPARAM wp, LPARAM lp);
  static LRESULT DrawnButton(SkinState& state, UINT message, WPARAM wp, LPARAM lp);
  static LRESULT DrawnStatic(SkinState& state, UINT message, WPARAM wp, LPARAM lp);
  static bool IsDrawnButton(const SkinState& state);
  static bool IsDrawnStatic(const SkinState& state);
  static void PaintButton(SkinState& state, HDC dc);
  static void PaintStatic(SkinState& state, HDC dc);
  static void PaintBuffered(SkinState& state, HDC target, void (*paint)(SkinState&, HDC));
  static bool AnswerPaint(SkinState& state, UINT message, WPARAM wp, void (*paint)(SkinState&, HDC), LRESULT& result);
  static std::vector<UINT_PTR> NodeAndDescendants(HWND tree, HTREEITEM node);
};
