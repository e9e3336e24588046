#pragma once
// A whole window's device context (caption and borders included) for one
// scope (GetWindowDC / ReleaseDC).
#include "CDC.h"
#include "CWnd.h"

class ORBFW_API CWindowDC : public CDC {
 public:
  explicit CWindowDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { m_hDC = ::GetWindowDC(m_hWnd); }
  ~CWindowDC() override;

 private:
  HWND m_hWnd;
};
