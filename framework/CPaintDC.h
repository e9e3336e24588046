#pragma once
// The device context of a WM_PAINT handler: BeginPaint on construction,
// EndPaint on destruction.
#include "CDC.h"
#include "CWnd.h"

class ORBFW_API CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }
  ~CPaintDC() override;
  PAINTSTRUCT m_ps{};

 private:
  HWND m_hWnd;
};
