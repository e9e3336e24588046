#pragma once
// One picture held as a GDI bitmap, loaded and saved through GDI+.
//
//  - Load decodes what GDI+ reads as a bitmap (BMP, JPEG, GIF's first frame,
//    PNG, TIFF) into a bitmap of the picture's size; pictures with a palette
//    keep it. A file that cannot be decoded leaves the object empty.
//  - Attach adopts a bitmap without owning it (for example the clipboard's);
//    Detach gives it back. A loaded or created bitmap is owned and deleted.
//  - Save writes the bitmap in the format named by the path's extension
//    (".jpg" gives JPEG, whatever the case); the file is replaced only by a
//    picture that decodes again. An unknown extension or a failed encoding
//    writes nothing, keeps an older file as it was, and returns a failure.
//  - TransparentBlt draws the whole picture stretched into a rectangle with
//    one colour left out.
// GDI+ is started when the first CImage is constructed and shut down when the
// last one is destroyed, under one lock.
#include <windows.h>

#include "CObject.h"
#include "FrameworkApi.h"

class ORBFW_API CImage : public CObject {
 public:
  CImage();
  ~CImage() override;
  CImage(const CImage&) = delete;
  CImage& operator=(const CImage&) = delete;

  // Replaces what the object held; on failure the object is empty.
  HRESULT Load(const char* path);
  // An owned, white bitmap of this size; bpp 24 or 32.
  BOOL Create(int width, int height, int bpp);
  void Attach(HBITMAP bitmap);
  HBITMAP Detach();
  void Destroy();
  HRESULT Save(const char* path) const;

  bool IsNull() const { return m_hBitmap == nullptr; }
  int GetWidth() const { return m_nWidth; }
  int GetHeight() const { return m_nHeight; }
  int GetBPP() const { return m_nBPP; }
  operator HBITMAP() const { return m_hBitmap; }  // NOLINT
  // CLR_INVALID outside the picture or for an empty object.
  COLORREF GetPixel(int x, int y) const;
  BOOL SetPixel(int x, int y, COLORREF colour);

  // The whole picture stretched into dest.
  BOOL Draw(HDC dc, const RECT& dest) const;
  // The whole picture stretched into dest, pixels of colour transparent left out.
  BOOL TransparentBlt(HDC dc, const RECT& dest, COLORREF transparent) const;
  BOOL TransparentBlt(HDC dc, int x, int y, int width, int height, COLORREF transparent) const;

  // Whether GDI+ is running (some CImage exists).
  static bool IsGdiplusRunning();

 private:
  void ReadSize();

  HBITMAP m_hBitmap = nullptr;
  bool m_bOwned = false;
  int m_nWidth = 0;
  int m_nHeight = 0;
  int m_nBPP = 0;
};
