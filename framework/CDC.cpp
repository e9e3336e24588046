#include "CDC.h"

#include <cstring>
#include <utility>


CDC::~CDC() {
  if (m_bOwned) DeleteDC();
}

BOOL CDC::CreateCompatibleDC(HDC other) { return Attach(::CreateCompatibleDC(other)); }

BOOL CDC::DeleteDC() {
  if (!m_hDC || !m_bOwned) return FALSE;
  m_bOwned = false;
  return ::DeleteDC(std::exchange(m_hDC, nullptr));
}

BOOL CDC::Attach(HDC dc) {
  if (m_bOwned) DeleteDC();
  m_hDC = dc;
  m_bOwned = dc != nullptr;
  return dc != nullptr;
}

HDC CDC::Detach() {
  m_bOwned = false;
  return std::exchange(m_hDC, nullptr);
}

void CDC::FillSolidRect(const RECT& rect, COLORREF colour) {
  COLORREF old = ::SetBkColor(m_hDC, colour);
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour) {
  RECT rect{x, y, x + cx, y + cy};
  FillSolidRect(rect, colour);
}

void CDC::FrameSolidRect(const RECT& rect, COLORREF colour) {
  HBRUSH brush = ::CreateSolidBrush(colour);
  ::FrameRect(m_hDC, &rect, brush);
  ::DeleteObject(brush);
}

CPoint CDC::MoveTo(int x, int y) {
  POINT old{};
  ::MoveToEx(m_hDC, x, y, &old);
  return CPoint(old);
}

int CDC::DrawText(const char* text, int length, RECT* rect, UINT format) {
  return ::DrawTextA(m_hDC, text ? text : "", text ? length : 0, rect, format);
}

BOOL CDC::TextOut(int x, int y, const char* text, int length) {
  return ::TextOutA(m_hDC, x, y, text ? text : "", text ? length : 0);
}

BOOL CDC::TextOut(int x, int y, const char* text) {
  return TextOut(x, y, text, text ? static_cast<int>(std::strlen(text)) : 0);
}

CSize CDC::GetTextExtent(const char* text, int length) const {
  SIZE size{};
  ::GetTextExtentPoint32A(m_hDC, text ? text : "", text ? length : 0, &size);
  return CSize(size);
}

CSize CDC::GetTextExtent(const char* text) const {
  return GetTextExtent(text, text ? static_cast<int>(std::strlen(text)) : 0);
}
