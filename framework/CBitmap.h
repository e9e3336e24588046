#pragma once
// An owned GDI bitmap, loaded from a module's resources or made compatible
// with a device context.
#include "CGdiObject.h"
#include "CSize.h"

// The header of a top-down DIB of this size and depth (rows from the top,
// uncompressed), for CreateDIBSection and GetDIBits.
ORBFW_API BITMAPINFOHEADER TopDownDibHeader(int width, int height, int bitCount);

class ORBFW_API CBitmap : public CGdiObject {
 public:
  ~CBitmap() override;
  CBitmap() = default;
  // Takes ownership of a bitmap made elsewhere (a DIB section, a mask).
  explicit CBitmap(HBITMAP owned) { Attach(owned); }
  CBitmap(CBitmap&&) noexcept = default;
  CBitmap& operator=(CBitmap&&) noexcept = default;
  BOOL LoadBitmap(HINSTANCE module, UINT id);
  BOOL CreateCompatibleBitmap(HDC dc, int width, int height);
  // A 32-bit top-down DIB section (rows from the top, 4 bytes a pixel, BGRX)
  // whose pixels the caller may read and write through bits. Fails for an
  // empty size or when the memory cannot be had.
  BOOL CreateDIBSection32(int width, int height, DWORD** bits);
  CSize GetSize() const;
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }  // NOLINT
};
