#include "HtmlEditTestSupport.h"

#include "CImage.h"
#include "CodePage.h"
#include "OrbTesting.h"

namespace HtmlEditTest {

namespace {
std::wstring Wide(const CString& text) { return CodePage::AnsiToWide(text); }
}  // namespace

Host::Host() {
  m_frame.CreateEx(0, nullptr, "HtmlEditTest", WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{0, 0, 660, 520}, nullptr, 0);
  const RECT left{0, 0, 320, 460};
  const RECT right{320, 0, 640, 460};
  m_view.Create(left, &m_frame, 22029);
  m_view.Navigate("about:blank");
  m_view.SetMultiSelect(TRUE);
  m_view.SetEditMode(0);
  m_editor.Create(right, &m_frame, 22030);
  m_editor.SetMultiSelect(TRUE);
  m_editor.Navigate("about:blank");
  m_editor.SetEditMode(1);
  OrbTesting::PumpPending();
}

Host::~Host() {
  m_view.DestroyWindow();
  m_editor.DestroyWindow();
  m_frame.DestroyWindow();
}

Folder::Folder() {
  static int counter = 0;
  char base[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, base);
  m_path.Format("%s编辑器测试%lu_%d\\", base, ::GetCurrentProcessId(), ++counter);
  ::CreateDirectoryW(Wide(m_path).c_str(), nullptr);
}

Folder::~Folder() {
  const std::wstring folder = Wide(m_path);
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileW((folder + found.cFileName).c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
  }
  ::RemoveDirectoryW(folder.c_str());
}

bool WritePicture(const CString& path, int width, int height, COLORREF colour) {
  CString extension = path.Mid(path.ReverseFind('.'));
  extension.MakeLower();
  if (extension == ".gif") {
    // Wine's GDI+ writes no GIF: a one-pixel GIF of the colour, by hand.
    std::string gif("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13);
    gif += static_cast<char>(GetRValue(colour));
    gif += static_cast<char>(GetGValue(colour));
    gif += static_cast<char>(GetBValue(colour));
    gif += std::string("\0\0\0,\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0;", 19);
    WriteBytes(path, gif);
    return Exists(path);
  }
  CImage image;
  if (!image.Create(width, height, 24)) return false;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.SetPixel(x, y, colour);
  image.SetPixel(0, 0, RGB(1, 2, 3));
  return SUCCEEDED(image.Save(path));
}

std::string ReadBytes(const CString& path) {
  HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(::GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  ::CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

void WriteBytes(const CString& path, const std::string& bytes) {
  HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
}

bool Exists(const CString& path) { return ::GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

COLORREF ClientPixel(HWND wnd, int x, int y) {
  ::UpdateWindow(wnd);
  POINT point{x, y};
  ::ClientToScreen(wnd, &point);
  HDC screen = ::GetDC(nullptr);
  const COLORREF colour = ::GetPixel(screen, point.x, point.y);
  ::ReleaseDC(nullptr, screen);
  return colour;
}

}  // namespace HtmlEditTest
