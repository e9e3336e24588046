#include "WindowShot.h"

#include <set>

#include "CImage.h"

namespace {

// Counts distinct colours on a coarse grid, enough to tell a painted window
// from an empty one.
int CountColours(const CImage& image) {
  std::set<COLORREF> colours;
  for (int y = 0; y < image.GetHeight() && colours.size() < 256; y += 3)
    for (int x = 0; x < image.GetWidth() && colours.size() < 256; x += 3) colours.insert(image.GetPixel(x, y));
  return static_cast<int>(colours.size());
}

}  // namespace

WindowShotResult SaveWindowShot(HWND window, const CString& path) {
  WindowShotResult result;
  RECT rect{};
  if (!::IsWindow(window) || !::GetWindowRect(window, &rect)) {
    result.error = "窗口不存在";
    return result;
  }
  result.width = rect.right - rect.left;
  result.height = rect.bottom - rect.top;
  CImage image;
  if (result.width <= 0 || result.height <= 0 || !image.Create(result.width, result.height, 24)) {
    result.error = "无法建立位图";
    return result;
  }
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HGDIOBJ old = ::SelectObject(memory, static_cast<HBITMAP>(image));
  const BOOL copied = ::BitBlt(memory, 0, 0, result.width, result.height, screen, rect.left, rect.top, SRCCOPY);
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  if (!copied) {
    result.error = "无法复制屏幕内容";
    return result;
  }
  result.colours = CountColours(image);
  const HRESULT saved = image.Save(path);
  result.saved = SUCCEEDED(saved);
  if (!result.saved) result.error.Format("无法保存 %s（0x%08lX）", path.GetString(), static_cast<unsigned long>(saved));
  return result;
}
