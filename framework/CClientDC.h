#pragma once
// A window's client-area device context for one scope (GetDC / ReleaseDC).
#include "CDC.h"
#include "CWnd.h"

class ORBFW_API CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { m_hDC = ::GetDC(m_hWnd); }
  ~CClientDC() override;

 private:
  HWND m_hWnd;
};
