#include "PixelCanvas.h"

PixelCanvas::PixelCanvas(int width, int height, COLORREF fill) : m_nWidth(width), m_nHeight(height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  m_pBits = static_cast<const DWORD*>(bits);
  m_dc = CreateCompatibleDC(nullptr);
  m_old = SelectObject(m_dc, m_bitmap);
  RECT all{0, 0, width, height};
  HBRUSH brush = CreateSolidBrush(fill);
  FillRect(m_dc, &all, brush);
  DeleteObject(brush);
}

PixelCanvas::~PixelCanvas() {
  SelectObject(m_dc, m_old);
  DeleteDC(m_dc);
  DeleteObject(m_bitmap);
}

COLORREF PixelCanvas::At(int x, int y) const {
  GdiFlush();
  if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return CLR_INVALID;
  DWORD p = m_pBits[y * m_nWidth + x];  // 0x00RRGGBB in memory order B, G, R
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int PixelCanvas::CountOf(const RECT& area, COLORREF colour) const {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) n += At(x, y) == colour;
  }
  return n;
}

int PixelCanvas::CountOther(const RECT& area, COLORREF colour) const {
  return (area.right - area.left) * (area.bottom - area.top) - CountOf(area, colour);
}
