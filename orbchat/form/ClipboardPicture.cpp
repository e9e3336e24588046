#include "form/ClipboardPicture.h"

#include <cstdlib>

#include "CClipboard.h"
#include "CImage.h"
#include "support/FileUtils.h"

namespace {

// Names tried before giving up: far more than pictures taken in one tick.
constexpr int kMaxNumberedTries = 1000;

bool UsableSize(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || ::GetObjectA(bitmap, sizeof(info), &info) != sizeof(info)) return false;
  const long long pixels = static_cast<long long>(info.bmWidth) * std::abs(static_cast<long long>(info.bmHeight));
  return info.bmWidth > 0 && info.bmHeight != 0 && pixels <= kMaxClipboardPixels;
}

}  // namespace

CString ReserveNumberedPicture(const CString& folder, DWORD tick) {
  for (int i = 0; i < kMaxNumberedTries; ++i) {
    CString path;
    path.Format("%s%d.jpg", folder.GetString(), static_cast<int>(tick + static_cast<DWORD>(i)));
    // CREATE_NEW fails on an existing name, so two windows never take the same one.
    HANDLE file = ::CreateFileW(ToWidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      ::CloseHandle(file);
      return path;
    }
    if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return CString();
}

ClipboardPicture SaveClipboardPicture(HWND owner, const CString& folder, DWORD tick, CString& path) {
  path.Empty();
  if (!Seams::GetClipboard().HasBitmap()) return ClipboardPicture::NoPicture;
  CClipboardLock clipboard(owner);
  if (!clipboard.IsOpen() || !clipboard->HasBitmap()) return ClipboardPicture::NoPicture;
  const HBITMAP bitmap = clipboard->GetBitmap();
  if (!bitmap) return ClipboardPicture::NoPicture;
  if (!UsableSize(bitmap)) return ClipboardPicture::BadSize;
  const CString reserved = ReserveNumberedPicture(folder, tick);
  if (reserved.IsEmpty()) return ClipboardPicture::NotSaved;
  CImage image;
  image.Attach(bitmap);
  const HRESULT saved = image.Save(reserved);
  image.Detach();
  if (FAILED(saved)) {
    ::DeleteFileW(ToWidePath(reserved).c_str());
    return ClipboardPicture::NotSaved;
  }
  path = reserved;
  return ClipboardPicture::Saved;
}

bool IsDecodablePicture(const char* path) {
  if (!path || !*path || !FileExists(path)) return false;
  CImage image;
  return SUCCEEDED(image.Load(path)) && !image.IsNull();
}

CString PictureTag(const CString& path) { return "<img src=\"" + path + "\">"; }
