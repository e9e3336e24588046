#pragma once
// An owned GDI font.
#include "CGdiObject.h"

class ORBFW_API CFont : public CGdiObject {
 public:
  ~CFont() override;
  CFont() = default;
  CFont(CFont&&) noexcept = default;
  CFont& operator=(CFont&&) noexcept = default;
  BOOL CreateFontIndirect(const LOGFONTA& font) { return Attach(::CreateFontIndirectA(&font)); }
  // Height in tenths of a point for the screen, like the dialog editor's sizes.
  BOOL CreatePointFont(int tenthsOfPoint, const char* faceName);
  int GetLogFont(LOGFONTA* font) const { return GetObject(sizeof(LOGFONTA), font); }
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }  // NOLINT
};
