#include "CBitmap.h"

BOOL CBitmap::LoadBitmap(HINSTANCE module, UINT id) {
  return Attach(::LoadBitmapA(module, MAKEINTRESOURCEA(id)));
}

BOOL CBitmap::CreateCompatibleBitmap(HDC dc, int width, int height) {
  return Attach(::CreateCompatibleBitmap(dc, width, height));
}

CSize CBitmap::GetSize() const {
  BITMAP info{};
  if (!GetObject(sizeof info, &info)) return CSize();
  return CSize(info.bmWidth, info.bmHeight);
}

CBitmap::~CBitmap() = default;
