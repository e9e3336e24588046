#pragma once
// An owned GDI brush.
#include "CGdiObject.h"

class ORBFW_API CBrush : public CGdiObject {
 public:
  ~CBrush() override;
  CBrush(CBrush&&) noexcept = default;
  CBrush& operator=(CBrush&&) noexcept = default;
  CBrush() = default;
  explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
  BOOL CreateSolidBrush(COLORREF colour) { return Attach(::CreateSolidBrush(colour)); }
  BOOL CreateSysColorBrush(int index) { return Attach(::CreateSolidBrush(::GetSysColor(index))); }
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }  // NOLINT
};
