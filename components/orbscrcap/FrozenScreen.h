#pragma once
// A still picture of a part of the screen, taken once and kept in a 32-bit
// DIB section so that the overlay can draw it (darkened or not) and the
// chosen rectangle can be cut out of it without asking the screen again.
#include <windows.h>

#include <cstdint>

#include "CBitmap.h"
#include "CRect.h"

class CFrozenScreen {
 public:
  // Largest picture taken: 2^28 pixels (1 GiB), and no side longer than the
  // 16-bit coordinates that mouse messages can carry. Bigger than any
  // desktop of real monitors; what lies beyond is refused, not attempted.
  static constexpr int64_t kMaxPixels = int64_t{1} << 28;
  static constexpr int kMaxSide = 32767;

  CFrozenScreen() = default;
  CFrozenScreen(const CFrozenScreen&) = delete;
  CFrozenScreen& operator=(const CFrozenScreen&) = delete;

  static bool IsTakeable(const CRect& area);
  // Copies the screen's pixels inside area (screen coordinates); parts of
  // area that no monitor shows come out black. False when the area is empty
  // or too large, or the memory or the screen cannot be had.
  bool Take(const CRect& area);

  bool IsEmpty() const { return m_bitmap.IsNull(); }
  const CRect& GetArea() const { return m_rcArea; }
  int Width() const { return m_rcArea.Width(); }
  int Height() const { return m_rcArea.Height(); }
  HBITMAP GetBitmap() const { return m_bitmap; }
  // Row y (0 at the top) of the picture, Width() pixels in BGRX order.
  const DWORD* Row(int y) const { return m_pBits + static_cast<size_t>(y) * static_cast<size_t>(Width()); }
  // A new bitmap with the pixels of rect (in the picture's coordinates,
  // 0,0 at its top-left); empty when rect does not lie inside the picture
  // or has no area.
  CBitmap Cut(const CRect& rect) const;

 private:
  CRect m_rcArea;
  CBitmap m_bitmap;
  DWORD* m_pBits = nullptr;
};
