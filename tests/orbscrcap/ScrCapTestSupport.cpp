#include "ScrCapTestSupport.h"

#include "CClientDC.h"
#include "CPaintDC.h"

BEGIN_MESSAGE_MAP(CColourWindow, CWnd)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
END_MESSAGE_MAP()

CColourWindow::CColourWindow(const CRect& rect, COLORREF colour) : m_crColour(colour) {
  CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, nullptr, "colour", WS_POPUP, rect, nullptr, 0);
  ShowWindow(SW_SHOWNOACTIVATE);
  UpdateWindow();
}

void CColourWindow::Recolour(COLORREF colour) {
  m_crColour = colour;
  RedrawWindow();
}

BOOL CColourWindow::OnEraseBkgnd(CDC* dc) {
  dc->FillSolidRect(GetClientRect(), m_crColour);
  return TRUE;
}

void CColourWindow::OnPaint() { CPaintDC dc(this); }

CBitmapPixels::CBitmapPixels(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info)) return;
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  header.bmiHeader.biWidth = info.bmWidth;
  header.bmiHeader.biHeight = -info.bmHeight;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 32;
  header.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> raw(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
  CClientDC screen(nullptr);
  if (::GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), raw.data(), &header, DIB_RGB_COLORS) !=
      info.bmHeight) {
    return;
  }
  m_nWidth = info.bmWidth;
  m_nHeight = info.bmHeight;
  m_arrPixels.reserve(raw.size());
  for (DWORD pixel : raw) m_arrPixels.push_back(RGB(GetBValue(pixel), GetGValue(pixel), GetRValue(pixel)));
}

int CBitmapPixels::CountOther(const RECT& rect, COLORREF colour) const {
  int other = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) other += At(x, y) != colour;
  }
  return other;
}

COLORREF ScreenPixel(int x, int y) {
  CClientDC screen(nullptr);
  return screen.GetPixel(x, y);
}
