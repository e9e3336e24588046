#include "CFont.h"

#include <cstring>

BOOL CFont::CreatePointFont(int tenthsOfPoint, const char* faceName) {
  LOGFONTA font{};
  HDC screen = ::GetDC(nullptr);
  font.lfHeight = -MulDiv(tenthsOfPoint, ::GetDeviceCaps(screen, LOGPIXELSY), 720);
  ::ReleaseDC(nullptr, screen);
  font.lfCharSet = DEFAULT_CHARSET;
  if (faceName) lstrcpynA(font.lfFaceName, faceName, LF_FACESIZE);
  return CreateFontIndirect(font);
}

CFont::~CFont() = default;
