#include "PictureObject.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>
#include <vector>

#include "CBitmap.h"
#include "CImage.h"
#include "CodePage.h"

namespace PictureObject {

namespace {

constexpr int kMaxWidth = 640;
constexpr int kMaxHeight = 480;
constexpr char kMarker[] = "ORBHTMLEDIT-PICTURE:";

HBITMAP CreateDib24(int width, int height, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader = TopDownDibHeader(width, height, 24);
  return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// A 24-bit copy of bitmap at most kMaxWidth x kMaxHeight; pixels with an
// alpha channel are laid over white.
std::shared_ptr<const Display> MakeDisplay(HBITMAP source) {
  DIBSECTION section{};
  BITMAP plain{};
  int width = 0, height = 0, bpp = 0;
  const void* sourceBits = nullptr;
  if (::GetObjectW(source, sizeof section, &section) == sizeof section) {
    width = section.dsBm.bmWidth;
    height = std::abs(section.dsBm.bmHeight);
    bpp = section.dsBm.bmBitsPixel;
    sourceBits = section.dsBm.bmBits;
  } else if (::GetObjectW(source, sizeof plain, &plain)) {
    width = plain.bmWidth;
    height = plain.bmHeight;
  }
  if (width <= 0 || height <= 0) return nullptr;
  int shownWidth = width, shownHeight = height;
  if (shownWidth > kMaxWidth || shownHeight > kMaxHeight) {
    const double scale = std::min(static_cast<double>(kMaxWidth) / width, static_cast<double>(kMaxHeight) / height);
    shownWidth = std::max(1, static_cast<int>(width * scale));
    shownHeight = std::max(1, static_cast<int>(height * scale));
  }
  auto display = std::make_shared<Display>();
  void* bits = nullptr;
  display->bitmap = CreateDib24(shownWidth, shownHeight, &bits);
  if (!display->bitmap) return nullptr;
  display->size = {shownWidth, shownHeight};
  HDC screen = ::GetDC(nullptr);
  HDC to = ::CreateCompatibleDC(screen);
  HDC from = ::CreateCompatibleDC(screen);
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ oldTo = ::SelectObject(to, display->bitmap);
  HBITMAP flattened = nullptr;
  if (bpp == 32 && sourceBits && section.dsBmih.biCompression == BI_RGB) {
    // Straight alpha over white, into a 24-bit copy of the same size.
    void* flatBits = nullptr;
    flattened = CreateDib24(width, height, &flatBits);
    if (flattened) {
      const int sourceStride = section.dsBm.bmWidthBytes;
      const int flatStride = (width * 3 + 3) & ~3;
      const bool bottomUp = section.dsBmih.biHeight > 0;
      for (int y = 0; y < height; ++y) {
        const BYTE* in = static_cast<const BYTE*>(sourceBits) +
                         static_cast<ptrdiff_t>(bottomUp ? height - 1 - y : y) * sourceStride;
        BYTE* out = static_cast<BYTE*>(flatBits) + static_cast<ptrdiff_t>(y) * flatStride;
        for (int x = 0; x < width; ++x) {
          const unsigned alpha = in[x * 4 + 3];
          for (int c = 0; c < 3; ++c)
            out[x * 3 + c] = static_cast<BYTE>((in[x * 4 + c] * alpha + 255u * (255u - alpha)) / 255u);
        }
      }
    }
  }
  HGDIOBJ oldFrom = ::SelectObject(from, flattened ? flattened : source);
  ::SetStretchBltMode(to, HALFTONE);
  ::SetBrushOrgEx(to, 0, 0, nullptr);
  ::StretchBlt(to, 0, 0, shownWidth, shownHeight, from, 0, 0, width, height, SRCCOPY);
  ::SelectObject(from, oldFrom);
  ::SelectObject(to, oldTo);
  ::DeleteDC(from);
  ::DeleteDC(to);
  if (flattened) ::DeleteObject(flattened);
  return display;
}

struct CacheKey {
  std::wstring path;  // lower case
  ULONGLONG written;
  ULONGLONG size;
  bool operator<(const CacheKey& other) const {
    return std::tie(path, written, size) < std::tie(other.path, other.written, other.size);
  }
};

std::mutex g_cacheLock;
std::map<CacheKey, std::weak_ptr<const Display>> g_cache;

// Does nothing when released: the bitmaps handed out belong to the picture.
class NoRelease final : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = iid == IID_IUnknown ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
};
NoRelease g_noRelease;

class Object final : public IOleObject, public IDataObject, public IViewObject2 {
 public:
  Object(std::shared_ptr<const Display> picture, DWORD index) : m_picture(std::move(picture)), m_index(index) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleObject)
      *out = static_cast<IOleObject*>(this);
    else if (iid == IID_IDataObject)
      *out = static_cast<IDataObject*>(this);
    else if (iid == IID_IViewObject || iid == IID_IViewObject2)
      *out = static_cast<IViewObject2*>(this);
    else
      *out = nullptr;
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG refs = ::InterlockedDecrement(&m_refs);
    if (refs == 0) {
      if (m_site) m_site->Release();
      delete this;
    }
    return static_cast<ULONG>(refs);
  }

  // IOleObject
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
    if (site) site->AddRef();
    if (m_site) m_site->Release();
    m_site = site;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override {
    if (!site) return E_POINTER;
    *site = m_site;
    if (m_site) m_site->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Close(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject** data) override {
    if (data) *data = nullptr;
    return E_NOTIMPL;
  }
  // Pictures do nothing when opened: no verb runs anything.
  HRESULT STDMETHODCALLTYPE DoVerb(LONG, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override {
    if (verbs) *verbs = nullptr;
    return OLEOBJ_E_NOVERBS;
  }
  HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_NULL;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR* type) override {
    if (type) *type = nullptr;
    return OLE_S_USEREG;
  }
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL* size) override {
    if (!size) return E_POINTER;
    *size = Himetric();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD* connection) override {
    if (connection) *connection = 0;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override {
    if (advise) *advise = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) override {
    if (!status) return E_POINTER;
    *status = OLEMISC_STATIC | OLEMISC_CANTLINKINSIDE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IDataObject
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (!format || !medium) return E_POINTER;
    const HRESULT offered = QueryGetData(format);
    if (offered != S_OK) return offered;
    if (format->cfFormat == CF_BITMAP) {
      medium->tymed = TYMED_GDI;
      medium->hBitmap = m_picture->bitmap;
      medium->pUnkForRelease = &g_noRelease;
      return S_OK;
    }
    HENHMETAFILE metafile = Metafile();
    if (!metafile) return E_OUTOFMEMORY;
    medium->tymed = TYMED_ENHMF;
    medium->hEnhMetaFile = metafile;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    if (!format) return E_POINTER;
    if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (format->cfFormat == CF_BITMAP && (format->tymed & TYMED_GDI)) return S_OK;
    if (format->cfFormat == CF_ENHMETAFILE && (format->tymed & TYMED_ENHMF)) return S_OK;
    return DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC** formats) override {
    if (formats) *formats = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advise) override {
    if (advise) *advise = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
  }

  // IViewObject2
  HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                                 LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!dc || !bounds) return E_INVALIDARG;
    HDC memory = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(memory, m_picture->bitmap);
    ::StretchBlt(dc, bounds->left, bounds->top, bounds->right - bounds->left, bounds->bottom - bounds->top, memory,
                 0, 0, m_picture->size.cx, m_picture->size.cy, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** set) override {
    if (set) *set = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD, DWORD, IAdviseSink*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD*, DWORD*, IAdviseSink**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD, LONG, DVTARGETDEVICE*, LPSIZEL size) override {
    if (!size) return E_POINTER;
    *size = Himetric();
    return S_OK;
  }

 private:
  ~Object() = default;

  SIZEL Himetric() const {
    HDC screen = ::GetDC(nullptr);
    const int dpiX = ::GetDeviceCaps(screen, LOGPIXELSX), dpiY = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return SIZEL{::MulDiv(m_picture->size.cx, 2540, dpiX), ::MulDiv(m_picture->size.cy, 2540, dpiY)};
  }

  HENHMETAFILE Metafile() const {
    const SIZEL himetric = Himetric();
    const RECT frame{0, 0, himetric.cx, himetric.cy};
    HDC dc = ::CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    if (!dc) return nullptr;
    char comment[64];
    const int length = std::snprintf(comment, sizeof comment, "%s%08lX", kMarker, static_cast<unsigned long>(m_index));
    ::GdiComment(dc, static_cast<UINT>(length), reinterpret_cast<const BYTE*>(comment));
    return ::CloseEnhMetaFile(dc);
  }

  LONG m_refs = 1;
  std::shared_ptr<const Display> m_picture;
  DWORD m_index;
  IOleClientSite* m_site = nullptr;
};

}  // namespace

Display::~Display() {
  if (bitmap) ::DeleteObject(bitmap);
}

std::shared_ptr<const Display> Load(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return nullptr;
  std::wstring lower = path;
  ::CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
  const CacheKey key{lower,
                     (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                         data.ftLastWriteTime.dwLowDateTime,
                     (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow};
  {
    std::lock_guard<std::mutex> guard(g_cacheLock);
    auto found = g_cache.find(key);
    if (found != g_cache.end())
      if (auto shared = found->second.lock()) return shared;
  }
  // The framework's image class takes code page 936 paths.
  const CString ansi = CodePage::WideToAnsi(path.c_str(), static_cast<int>(path.size()));
  if (CodePage::AnsiToWide(ansi) != path) return nullptr;
  CImage image;
  if (FAILED(image.Load(ansi)) || image.IsNull()) return nullptr;
  std::shared_ptr<const Display> display = MakeDisplay(image);
  if (!display) return nullptr;
  std::lock_guard<std::mutex> guard(g_cacheLock);
  for (auto it = g_cache.begin(); it != g_cache.end();)
    it = it->second.expired() ? g_cache.erase(it) : std::next(it);
  g_cache[key] = display;
  return display;
}

std::shared_ptr<const Display> Placeholder() {
  static std::mutex lock;
  static std::weak_ptr<const Display> cached;
  std::lock_guard<std::mutex> guard(lock);
  if (auto shared = cached.lock()) return shared;
  auto display = std::make_shared<Display>();
  void* bits = nullptr;
  constexpr int kSide = 24;
  display->bitmap = CreateDib24(kSide, kSide, &bits);
  if (!display->bitmap) return nullptr;
  display->size = {kSide, kSide};
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ old = ::SelectObject(dc, display->bitmap);
  RECT all{0, 0, kSide, kSide};
  HBRUSH fill = ::CreateSolidBrush(RGB(236, 236, 236));
  ::FillRect(dc, &all, fill);
  ::DeleteObject(fill);
  HBRUSH frame = ::CreateSolidBrush(RGB(160, 160, 160));
  ::FrameRect(dc, &all, frame);
  ::DeleteObject(frame);
  HPEN pen = ::CreatePen(PS_SOLID, 2, RGB(200, 60, 60));
  HGDIOBJ oldPen = ::SelectObject(dc, pen);
  ::MoveToEx(dc, 7, 7, nullptr);
  ::LineTo(dc, kSide - 7, kSide - 7);
  ::MoveToEx(dc, kSide - 7, 7, nullptr);
  ::LineTo(dc, 7, kSide - 7);
  ::SelectObject(dc, oldPen);
  ::DeleteObject(pen);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  std::shared_ptr<const Display> shared = display;
  cached = shared;
  return shared;
}

std::shared_ptr<const Display> FromBitmap(HBITMAP bitmap) { return bitmap ? MakeDisplay(bitmap) : nullptr; }

IOleObject* Create(std::shared_ptr<const Display> picture, DWORD index) {
  if (!picture || !picture->bitmap) return nullptr;
  return new Object(std::move(picture), index);
}

long IndexFromMetafile(const std::string& bits) {
  const std::size_t found = bits.find(kMarker);
  if (found == std::string::npos) return -1;
  const std::size_t start = found + sizeof kMarker - 1;
  if (start + 8 > bits.size()) return -1;
  unsigned long value = 0;
  for (std::size_t i = start; i < start + 8; ++i) {
    const char c = bits[i];
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return -1;
    value = value * 16 + static_cast<unsigned long>(digit);
  }
  return static_cast<long>(value);
}

}  // namespace PictureObject
