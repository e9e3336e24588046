#pragma once
// A memory device context over a 32-bit top-down bitmap, so a test can have
// the skin paint into it and read the pixels back without a screen.
#include <windows.h>

class PixelCanvas {
 public:
  PixelCanvas(int width, int height, COLORREF fill = RGB(255, 255, 255));
  PixelCanvas(const PixelCanvas&) = delete;
  PixelCanvas& operator=(const PixelCanvas&) = delete;
  ~PixelCanvas();

  HDC Dc() const { return m_dc; }
  COLORREF At(int x, int y) const;
  // Pixels in the rectangle whose colour differs from the given one.
  int CountOther(const RECT& area, COLORREF colour) const;
  int CountOf(const RECT& area, COLORREF colour) const;

 private:
  int m_nWidth;
  int m_nHeight;
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_old = nullptr;
  const DWORD* m_pBits = nullptr;
};
