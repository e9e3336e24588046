#pragma once
// Selects a GDI object into a device context for one scope and puts the
// previous object back when the scope ends, so a drawing routine never leaves
// its pen, brush or font selected (which would keep it from being deleted).
#include <windows.h>

class CSelectObjectGuard {
 public:
  CSelectObjectGuard(HDC dc, HGDIOBJ object) : m_hDC(dc), m_hOld(::SelectObject(dc, object)) {}
  ~CSelectObjectGuard() {
    if (m_hOld && m_hOld != HGDI_ERROR) ::SelectObject(m_hDC, m_hOld);
  }
  CSelectObjectGuard(const CSelectObjectGuard&) = delete;
  CSelectObjectGuard& operator=(const CSelectObjectGuard&) = delete;
  // False when the selection failed (nothing will be restored).
  bool Selected() const { return m_hOld && m_hOld != HGDI_ERROR; }

 private:
  HDC m_hDC;
  HGDIOBJ m_hOld;
};
