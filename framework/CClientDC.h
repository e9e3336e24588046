#pragma once
// A window's client-area device context for one scope (GetDC / ReleaseDC).
#include "CDC.h"
#include "CWnd.h"

class ORBFW_API CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { m_hDC = ::GetDC(m_hWnd); }
  ~CClientDC() override {
    if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
  }

 private:
  HWND m_hWnd;
};
