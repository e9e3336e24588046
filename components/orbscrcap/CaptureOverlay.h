#pragma once
// The window in which the user chooses a region: a topmost popup over the
// whole frozen screen that shows the picture darkened outside the rectangle
// being chosen, a frame and the rectangle's size beside it, a magnified view
// of the pixels around the pointer, and a short hint. It runs its own modal
// loop until the user confirms or cancels; a lost capture during a drag, a
// closed or destroyed window and a WM_QUIT end it as cancelled, so it never
// hangs and never leaves a window behind.
#include <windows.h>

#include <vector>

#include "CFont.h"
#include "CWnd.h"
#include "FrozenScreen.h"
#include "RegionSelection.h"

class CCaptureOverlay : public CWnd {
 public:
  // Title of the overlay window, also how tools and tests can tell it.
  static const char kTitle[];

  explicit CCaptureOverlay(const CFrozenScreen& screen);
  // owner: the window to disable meanwhile (may be null). True with the
  // confirmed rectangle in screen coordinates; false when cancelled.
  bool ChooseRegion(HWND owner, CRect& region);

 protected:
  void OnPaint();
  BOOL OnEraseBkgnd(CDC* dc);
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnRButtonUp(UINT flags, CPoint point);
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void OnClose();
  void OnDestroy();
  LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
  LRESULT OnCancelMode(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  bool Open(HWND owner);
  void RunLoop();
  // Repaints what changed since the last paint: the old and the new
  // rectangle with their decorations.
  void Refresh();
  std::vector<CRect> Decorations() const;
  CRect LensRect() const;
  CRect LabelRect() const;
  CRect HintRect() const;
  const char* HintText() const;

  void PaintArea(CDC& target, const CRect& area) const;
  void ShadePixels(DWORD* bits, const CRect& area) const;
  void DrawFrame(CDC& dc) const;
  void DrawLabel(CDC& dc) const;
  void DrawLens(CDC& dc) const;
  void DrawHint(CDC& dc) const;
  void DrawTextBox(CDC& dc, const CRect& box, const char* text) const;

  const CFrozenScreen& m_screen;
  CRegionSelection m_selection;
  std::vector<CRect> m_arrDrawn;  // decorations as last painted
  CFont m_font;
  bool m_bCursorSeen = false;
};
