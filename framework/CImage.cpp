#include "CImage.h"

#include <gdiplus.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "CBitmap.h"
#include "CString.h"
#include "CodePage.h"

namespace {

// GDI+ runs while at least one image object exists.
struct GdiplusLifetime {
  std::mutex lock;
  int users = 0;
  ULONG_PTR token = 0;
  bool running = false;
};

GdiplusLifetime& Lifetime() {
  static GdiplusLifetime lifetime;
  return lifetime;
}

void AcquireGdiplus() {
  std::lock_guard<std::mutex> guard(Lifetime().lock);
  if (Lifetime().users++ == 0) {
    Gdiplus::GdiplusStartupInput input;
    Lifetime().running = Gdiplus::GdiplusStartup(&Lifetime().token, &input, nullptr) == Gdiplus::Ok;
  }
}

void ReleaseGdiplus() {
  std::lock_guard<std::mutex> guard(Lifetime().lock);
  if (--Lifetime().users == 0 && Lifetime().running) {
    Gdiplus::GdiplusShutdown(Lifetime().token);
    Lifetime().running = false;
  }
}

bool Running() {
  std::lock_guard<std::mutex> guard(Lifetime().lock);
  return Lifetime().running;
}

// A memory DC with a bitmap selected for one scope.
class BitmapDC {
 public:
  explicit BitmapDC(HBITMAP bitmap) : m_dc(::CreateCompatibleDC(nullptr)) {
    m_old = m_dc ? ::SelectObject(m_dc, bitmap) : nullptr;
  }
  ~BitmapDC() {
    if (!m_dc) return;
    if (m_old && m_old != HGDI_ERROR) ::SelectObject(m_dc, m_old);
    ::DeleteDC(m_dc);
  }
  BitmapDC(const BitmapDC&) = delete;
  BitmapDC& operator=(const BitmapDC&) = delete;
  HDC Get() const { return m_old && m_old != HGDI_ERROR ? m_dc : nullptr; }

 private:
  HDC m_dc;
  HGDIOBJ m_old = nullptr;
};

// A top-down DIB section with an optional colour table.
HBITMAP CreateDib(int width, int height, int bpp, const RGBQUAD* colours, int colourCount, void** bits) {
  std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * static_cast<size_t>(colourCount));
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  *header = TopDownDibHeader(width, height, bpp);
  header->biClrUsed = static_cast<DWORD>(colourCount);
  if (colourCount > 0) std::memcpy(header + 1, colours, sizeof(RGBQUAD) * static_cast<size_t>(colourCount));
  return ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, bits, nullptr, 0);
}

int DibStride(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

// Copies a decoded picture into a new DIB section of the matching depth.
HBITMAP DibFromGdiplus(Gdiplus::Bitmap& picture) {
  const int width = static_cast<int>(picture.GetWidth());
  const int height = static_cast<int>(picture.GetHeight());
  if (width <= 0 || height <= 0) return nullptr;
  const Gdiplus::PixelFormat source = picture.GetPixelFormat();
  Gdiplus::PixelFormat format = PixelFormat24bppRGB;
  int bpp = 24;
  std::vector<RGBQUAD> colours;
  if (Gdiplus::IsIndexedPixelFormat(source)) {
    format = source;
    bpp = static_cast<int>(Gdiplus::GetPixelFormatSize(source));
    const INT size = picture.GetPaletteSize();
    std::vector<BYTE> buffer(static_cast<size_t>(size > 0 ? size : 0));
    auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(buffer.data());
    if (size > 0 && picture.GetPalette(palette, size) == Gdiplus::Ok) {
      for (UINT i = 0; i < palette->Count; ++i) {
        const Gdiplus::Color colour(palette->Entries[i]);
        colours.push_back(RGBQUAD{colour.GetB(), colour.GetG(), colour.GetR(), 0});
      }
    }
  } else if (Gdiplus::IsAlphaPixelFormat(source)) {
    format = PixelFormat32bppARGB;
    bpp = 32;
  }
  void* bits = nullptr;
  HBITMAP dib = CreateDib(width, height, bpp, colours.data(), static_cast<int>(colours.size()), &bits);
  if (!dib) return nullptr;
  Gdiplus::Rect all(0, 0, width, height);
  Gdiplus::BitmapData data{};
  if (picture.LockBits(&all, Gdiplus::ImageLockModeRead, format, &data) != Gdiplus::Ok) {
    ::DeleteObject(dib);
    return nullptr;
  }
  const int stride = DibStride(width, bpp);
  const size_t rowBytes = static_cast<size_t>((width * bpp + 7) / 8);
  for (int y = 0; y < height; ++y) {
    std::memcpy(static_cast<BYTE*>(bits) + static_cast<ptrdiff_t>(y) * stride,
                static_cast<const BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride, rowBytes);
  }
  picture.UnlockBits(&data);
  return dib;
}

// The GDI+ encoder whose extension list holds the path's extension.
bool EncoderFor(const char* path, CLSID* encoder) {
  const CString name(path);
  const int slash = std::max(name.ReverseFind('\\'), name.ReverseFind('/'));
  const int dot = name.ReverseFind('.');
  if (dot <= slash || dot == name.GetLength() - 1) return false;
  CString pattern = "*" + name.Mid(dot);
  pattern.MakeUpper();
  UINT count = 0;
  UINT size = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
  std::vector<BYTE> buffer(size);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    CString extensions = CodePage::WideToAnsi(codecs[i].FilenameExtension);
    extensions.MakeUpper();
    int position = 0;
    for (CString token = extensions.Tokenize(";", position); position != -1; token = extensions.Tokenize(";", position)) {
      if (token.Trim() == pattern) {
        *encoder = codecs[i].Clsid;
        return true;
      }
    }
  }
  return false;
}

// The bitmap's pixels as a 32-bit top-down buffer; alpha is kept only when
// some pixel uses it (screen bitmaps carry zero alpha, which would make the
// whole picture transparent in formats that keep alpha).
bool ReadPixels(HBITMAP bitmap, int width, int height, std::vector<BYTE>& pixels, bool& hasAlpha) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
  HDC screen = ::GetDC(nullptr);
  const int rows = ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  if (rows != height) return false;
  hasAlpha = false;
  for (size_t i = 3; i < pixels.size() && !hasAlpha; i += 4) hasAlpha = pixels[i] != 0;
  return true;
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

CImage::CImage() { AcquireGdiplus(); }

CImage::~CImage() {
  Destroy();
  ReleaseGdiplus();
}

bool CImage::IsGdiplusRunning() { return Running(); }

void CImage::Destroy() {
  if (m_hBitmap && m_bOwned) ::DeleteObject(m_hBitmap);
  m_hBitmap = nullptr;
  m_bOwned = false;
  m_nWidth = m_nHeight = m_nBPP = 0;
}

void CImage::ReadSize() {
  BITMAP info{};
  if (m_hBitmap && ::GetObjectA(m_hBitmap, sizeof info, &info)) {
    m_nWidth = info.bmWidth;
    m_nHeight = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    m_nBPP = info.bmBitsPixel;
  } else {
    m_nWidth = m_nHeight = m_nBPP = 0;
  }
}

HRESULT CImage::Load(const char* path) {
  Destroy();
  if (!path || !*path || !Running()) return E_FAIL;
  const std::wstring wide = CodePage::AnsiToWide(path);
  if (!FileExists(wide)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  HBITMAP dib = nullptr;
  {
    Gdiplus::Bitmap picture(wide.c_str());
    if (picture.GetLastStatus() != Gdiplus::Ok) return E_FAIL;
    dib = DibFromGdiplus(picture);
  }
  if (!dib) return E_FAIL;
  m_hBitmap = dib;
  m_bOwned = true;
  ReadSize();
  return S_OK;
}

BOOL CImage::Create(int width, int height, int bpp) {
  Destroy();
  if (width <= 0 || height <= 0 || (bpp != 24 && bpp != 32)) return FALSE;
  void* bits = nullptr;
  HBITMAP dib = CreateDib(width, height, bpp, nullptr, 0, &bits);
  if (!dib) return FALSE;
  std::memset(bits, 0xFF, static_cast<size_t>(DibStride(width, bpp)) * static_cast<size_t>(height));
  m_hBitmap = dib;
  m_bOwned = true;
  ReadSize();
  return TRUE;
}

void CImage::Attach(HBITMAP bitmap) {
  Destroy();
  m_hBitmap = bitmap;
  m_bOwned = false;
  ReadSize();
}

HBITMAP CImage::Detach() {
  HBITMAP bitmap = m_hBitmap;
  m_hBitmap = nullptr;
  m_bOwned = false;
  m_nWidth = m_nHeight = m_nBPP = 0;
  return bitmap;
}

HRESULT CImage::Save(const char* path) const {
  if (!m_hBitmap || !path || !Running()) return E_FAIL;
  CLSID encoder{};
  if (!EncoderFor(path, &encoder)) return E_FAIL;
  std::vector<BYTE> pixels;
  bool hasAlpha = false;
  if (!ReadPixels(m_hBitmap, m_nWidth, m_nHeight, pixels, hasAlpha)) return E_FAIL;
  // The picture is written beside the target first and checked by decoding
  // it again: some encoders report success for a file that holds no picture
  // (Wine's GIF encoder given true-colour pixels). Only a good file replaces
  // the target, so a failure leaves an older file as it was.
  const std::wstring target = CodePage::AnsiToWide(path);
  const std::wstring part = target + L".part";
  Gdiplus::Status status;
  {
    Gdiplus::Bitmap picture(m_nWidth, m_nHeight, m_nWidth * 4, hasAlpha ? PixelFormat32bppARGB : PixelFormat32bppRGB,
                            pixels.data());
    status = picture.GetLastStatus();
    if (status == Gdiplus::Ok) status = picture.Save(part.c_str(), &encoder, nullptr);
  }
  bool good = status == Gdiplus::Ok;
  if (good) {
    Gdiplus::Bitmap check(part.c_str());
    good = check.GetLastStatus() == Gdiplus::Ok && static_cast<int>(check.GetWidth()) == m_nWidth &&
           static_cast<int>(check.GetHeight()) == m_nHeight;
  }
  if (good) good = ::MoveFileExW(part.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
  if (!good) {
    ::DeleteFileW(part.c_str());
    return E_FAIL;
  }
  return S_OK;
}

COLORREF CImage::GetPixel(int x, int y) const {
  if (!m_hBitmap || x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return CLR_INVALID;
  BitmapDC dc(m_hBitmap);
  return dc.Get() ? ::GetPixel(dc.Get(), x, y) : CLR_INVALID;
}

BOOL CImage::SetPixel(int x, int y, COLORREF colour) {
  if (!m_hBitmap || x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return FALSE;
  BitmapDC dc(m_hBitmap);
  return dc.Get() && ::SetPixel(dc.Get(), x, y, colour) != CLR_INVALID;
}

BOOL CImage::Draw(HDC dc, const RECT& dest) const {
  if (!m_hBitmap || !dc) return FALSE;
  BitmapDC source(m_hBitmap);
  if (!source.Get()) return FALSE;
  const int mode = ::SetStretchBltMode(dc, COLORONCOLOR);
  const BOOL done = ::StretchBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, source.Get(),
                                 0, 0, m_nWidth, m_nHeight, SRCCOPY);
  ::SetStretchBltMode(dc, mode);
  return done;
}

BOOL CImage::TransparentBlt(HDC dc, const RECT& dest, COLORREF transparent) const {
  return TransparentBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, transparent);
}

BOOL CImage::TransparentBlt(HDC dc, int x, int y, int width, int height, COLORREF transparent) const {
  if (!m_hBitmap || !dc || width <= 0 || height <= 0) return FALSE;
  BitmapDC source(m_hBitmap);
  if (!source.Get()) return FALSE;
  return ::GdiTransparentBlt(dc, x, y, width, height, source.Get(), 0, 0, m_nWidth, m_nHeight,
                             static_cast<UINT>(transparent));
}
