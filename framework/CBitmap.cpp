#include "CBitmap.h"

BOOL CBitmap::LoadBitmap(HINSTANCE module, UINT id) {
  return Attach(::LoadBitmapA(module, MAKEINTRESOURCEA(id)));
}

BOOL CBitmap::CreateCompatibleBitmap(HDC dc, int width, int height) {
  return Attach(::CreateCompatibleBitmap(dc, width, height));
}

BITMAPINFOHEADER TopDownDibHeader(int width, int height, int bitCount) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = width;
  header.biHeight = -height;
  header.biPlanes = 1;
  header.biBitCount = static_cast<WORD>(bitCount);
  header.biCompression = BI_RGB;
  return header;
}

BOOL CBitmap::CreateDIBSection32(int width, int height, DWORD** bits) {
  *bits = nullptr;
  if (width <= 0 || height <= 0) return Attach(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = TopDownDibHeader(width, height, 32);
  void* pixels = nullptr;
  HBITMAP dib = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (!dib || !pixels) {
    if (dib) ::DeleteObject(dib);
    return Attach(nullptr);
  }
  *bits = static_cast<DWORD*>(pixels);
  return Attach(dib);
}

CSize CBitmap::GetSize() const {
  BITMAP info{};
  if (!GetObject(sizeof info, &info)) return CSize();
  return CSize(info.bmWidth, info.bmHeight);
}

CBitmap::~CBitmap() = default;
