#pragma once
// A whole window's device context (caption and borders included) for one
// scope (GetWindowDC / ReleaseDC).
#include "CDC.h"
#include "CWnd.h"

class ORBFW_API CWindowDC : public CDC {
 public:
  explicit CWindowDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { m_hDC = ::GetWindowDC(m_hWnd); }
  ~CWindowDC() override {
    if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
  }

 private:
  HWND m_hWnd;
};
