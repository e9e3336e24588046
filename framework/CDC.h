#pragma once
// A device context with the drawing helpers the module's owner-drawn
// controls and panes use. A CDC made from a handle borrows it; one made by
// CreateCompatibleDC or Attach owns it and deletes it when destroyed. The
// window device contexts (paint, client, window) are in CPaintDC.h,
// CClientDC.h and CWindowDC.h; CSelectObjectGuard.h restores selections.
#include <windows.h>

#include "CGdiObject.h"
#include "CObject.h"
#include "CPoint.h"
#include "CRect.h"
#include "CSize.h"
#include "FrameworkApi.h"

class ORBFW_API CDC : public CObject {
 public:
  CDC() = default;
  explicit CDC(HDC borrowed) : m_hDC(borrowed) {}
  ~CDC() override;
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  HDC m_hDC = nullptr;

  operator HDC() const { return m_hDC; }  // NOLINT
  HDC GetSafeHdc() const { return m_hDC; }

  BOOL CreateCompatibleDC(HDC other);
  BOOL DeleteDC();
  // Takes ownership: the handle is deleted with DeleteDC later.
  BOOL Attach(HDC dc);
  HDC Detach();

  HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
  HGDIOBJ SelectObject(const CGdiObject& object) { return ::SelectObject(m_hDC, object.m_hObject); }
  HGDIOBJ SelectStockObject(int index) { return ::SelectObject(m_hDC, ::GetStockObject(index)); }

  COLORREF SetBkColor(COLORREF colour) { return ::SetBkColor(m_hDC, colour); }
  COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
  COLORREF SetTextColor(COLORREF colour) { return ::SetTextColor(m_hDC, colour); }
  COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }

  // Fills with a solid colour; the background colour is left as it was.
  void FillSolidRect(const RECT& rect, COLORREF colour);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);
  void FillRect(const RECT& rect, HBRUSH brush) { ::FillRect(m_hDC, &rect, brush); }
  void FrameRect(const RECT& rect, HBRUSH brush) { ::FrameRect(m_hDC, &rect, brush); }
  // A one-pixel frame in a colour; pen and brush selections are unchanged.
  void FrameSolidRect(const RECT& rect, COLORREF colour);
  BOOL Rectangle(int left, int top, int right, int bottom) { return ::Rectangle(m_hDC, left, top, right, bottom); }
  BOOL Rectangle(const RECT& rect) { return Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
  CPoint MoveTo(int x, int y);
  BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
  void DrawFocusRect(const RECT& rect) { ::DrawFocusRect(m_hDC, &rect); }

  int DrawText(const char* text, int length, RECT* rect, UINT format);
  int DrawText(const char* text, RECT* rect, UINT format) { return DrawText(text, -1, rect, format); }
  BOOL TextOut(int x, int y, const char* text, int length);
  BOOL TextOut(int x, int y, const char* text);
  CSize GetTextExtent(const char* text, int length) const;
  CSize GetTextExtent(const char* text) const;

  BOOL BitBlt(int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, width, height, source, sx, sy, rop);
  }
  BOOL StretchBlt(int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh, DWORD rop) {
    return ::StretchBlt(m_hDC, x, y, width, height, source, sx, sy, sw, sh, rop);
  }
  COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
  COLORREF SetPixel(int x, int y, COLORREF colour) { return ::SetPixel(m_hDC, x, y, colour); }
  int SaveDC() { return ::SaveDC(m_hDC); }
  BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }

 protected:
  bool m_bOwned = false;
};
