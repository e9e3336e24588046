#pragma once
// An owned GDI pen.
#include "CGdiObject.h"

class ORBFW_API CPen : public CGdiObject {
 public:
  ~CPen() override;
  CPen(CPen&&) noexcept = default;
  CPen& operator=(CPen&&) noexcept = default;
  CPen() = default;
  CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
  BOOL CreatePen(int style, int width, COLORREF colour) { return Attach(::CreatePen(style, width, colour)); }
  operator HPEN() const { return static_cast<HPEN>(m_hObject); }  // NOLINT
};
