#pragma once
// What the capture tests and the overlay preview share: a topmost window
// painted in one colour, so that a known picture lies on the screen at a
// known place, and the pixels of a bitmap read back.
#include <windows.h>

#include <ostream>
#include <vector>

#include "CRect.h"
#include "CWnd.h"

// A topmost popup filled with one colour, painted before the constructor
// returns, so the screen shows it when a capture is taken.
class CColourWindow : public CWnd {
 public:
  CColourWindow(const CRect& rect, COLORREF colour);
  // Repaints in another colour, at once.
  void Recolour(COLORREF colour);
  COLORREF Colour() const { return m_crColour; }

 protected:
  BOOL OnEraseBkgnd(CDC* dc);
  void OnPaint();
  DECLARE_MESSAGE_MAP()

 private:
  COLORREF m_crColour;
};

// Pixels of a bitmap as COLORREF values, row by row from the top.
struct CBitmapPixels {
  explicit CBitmapPixels(HBITMAP bitmap);
  int m_nWidth = 0;
  int m_nHeight = 0;
  std::vector<COLORREF> m_arrPixels;
  COLORREF At(int x, int y) const { return m_arrPixels[static_cast<size_t>(y) * m_nWidth + x]; }
  // How many pixels of the rectangle have another colour.
  int CountOther(const RECT& rect, COLORREF colour) const;
};

// The colour the screen shows at a point now.
COLORREF ScreenPixel(int x, int y);

// Readable failure messages for rectangles.
inline void PrintTo(const CRect& rect, std::ostream* out) {
  *out << "(" << rect.left << "," << rect.top << ")-(" << rect.right << "," << rect.bottom << ")";
}
