// What the framework costs on the module's busy paths:
//   1. a window message through a message map (a three-level chain of tables
//      with a dozen entries) against a bare window procedure;
//   2. CWnd::FromHandle of a bound window (every control notification does it);
//   3. CString::Replace of "<DIV>" over a 1 MB message body (the rendering step);
//   4. code-page conversion of 1 MB of Chinese text to UTF-8 and back;
//   5. CImage saving a 1280 x 1024 screen capture as JPEG and loading it again.
#include <windows.h>

#include <cstdio>
#include <string>

#include "BenchClock.h"
#include "CImage.h"
#include "CTestFolder.h"
#include "CString.h"
#include "CWnd.h"
#include "CodePage.h"

namespace {

constexpr UINT kPing = WM_APP + 50;

class Level1 : public CWnd {
 public:
  LRESULT pings = 0;

 protected:
  LRESULT OnPing(WPARAM, LPARAM) { return ++pings; }
  void OnTimer(UINT_PTR) {}
  void OnSize(UINT, int, int) {}
  void OnPaint() { Default(); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Level1, CWnd)
  ON_WM_TIMER()
  ON_WM_SIZE()
  ON_WM_PAINT()
  ON_MESSAGE(kPing, &Level1::OnPing)
END_MESSAGE_MAP()

class Level2 : public Level1 {
 protected:
  void OnA() {}
  void OnB() {}
  void OnC() {}
  void OnMouseMove(UINT, CPoint) {}
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Level2, Level1)
  ON_COMMAND(40001, &Level2::OnA)
  ON_COMMAND(40002, &Level2::OnB)
  ON_COMMAND(40003, &Level2::OnC)
  ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

class Level3 : public Level2 {
 protected:
  void OnD() {}
  void OnE() {}
  void OnLButtonUp(UINT, CPoint) {}
  void OnRButtonDown(UINT, CPoint) {}
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Level3, Level2)
  ON_COMMAND(40004, &Level3::OnD)
  ON_COMMAND(40005, &Level3::OnE)
  ON_WM_LBUTTONUP()
  ON_WM_RBUTTONDOWN()
END_MESSAGE_MAP()

LRESULT g_barePings = 0;
LRESULT CALLBACK BareProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kPing) return ++g_barePings;
  return DefWindowProcA(wnd, message, wParam, lParam);
}

void BenchDispatch() {
  Level3 mapped;
  mapped.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
  WNDCLASSA wc{};
  wc.lpfnWndProc = BareProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "BenchBare";
  RegisterClassA(&wc);
  HWND bare = CreateWindowA("BenchBare", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
  const int rounds = 200000;
  double start = MicrosecondsNow();
  for (int i = 0; i < rounds; ++i) SendMessageA(bare, kPing, 0, 0);
  const double bareUs = (MicrosecondsNow() - start) / rounds;
  start = MicrosecondsNow();
  for (int i = 0; i < rounds; ++i) mapped.SendMessage(kPing);
  const double mappedUs = (MicrosecondsNow() - start) / rounds;
  std::printf("dispatch: %.3f us per message through a 3-level map, %.3f us bare (%d messages each)\n", mappedUs,
              bareUs, rounds);
  start = MicrosecondsNow();
  CWnd* found = nullptr;
  for (int i = 0; i < 1000000; ++i) found = CWnd::FromHandle(mapped.m_hWnd);
  std::printf("FromHandle: %.3f us per lookup of a bound window%s\n", (MicrosecondsNow() - start) / 1000000,
              found == &mapped ? "" : " (WRONG OBJECT)");
  DestroyWindow(bare);
}

void BenchReplace() {
  CString body;
  while (body.GetLength() < (1 << 20)) body += "<DIV>今天下午三点在会议室开会，请准时参加。</DIV>";
  const int length = body.GetLength();
  const double start = MicrosecondsNow();
  const int count = body.Replace("<DIV>", "<DIV><FONT size=2 face=Serif>&nbsp;&nbsp;&nbsp;&nbsp;</FONT>");
  std::printf("Replace: %.1f ms for %d replacements in %d bytes\n", (MicrosecondsNow() - start) / 1000, count, length);
}

void BenchCodePage() {
  std::string text;
  while (text.size() < (1 << 20)) text += "群社区讨论组联系人，您的系统配置有问题！abc123 ";
  double start = MicrosecondsNow();
  const std::string utf8 = CodePage::AnsiToUtf8(text.data(), static_cast<int>(text.size()));
  const double toUtf8 = (MicrosecondsNow() - start) / 1000;
  start = MicrosecondsNow();
  const CString back = CodePage::Utf8ToAnsi(utf8.data(), static_cast<int>(utf8.size()));
  const double fromUtf8 = (MicrosecondsNow() - start) / 1000;
  std::printf("code page: %.1f ms 936->UTF-8, %.1f ms UTF-8->936 for %zu bytes%s\n", toUtf8, fromUtf8, text.size(),
              back.Str() == text ? "" : " (ROUND TRIP DIFFERS)");
}

void BenchImage() {
  CTestFolder folder;
  const std::string path = folder.File("bench_capture.jpg").Str();
  CImage capture;
  capture.Create(1280, 1024, 32);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, static_cast<HBITMAP>(capture));
  for (int y = 0; y < 1024; y += 16) {
    RECT band{0, y, 1280, y + 16};
    HBRUSH brush = CreateSolidBrush(RGB(y % 256, (y * 3) % 256, 200));
    FillRect(dc, &band, brush);
    DeleteObject(brush);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  double start = MicrosecondsNow();
  const HRESULT saved = capture.Save(path.c_str());
  const double saveMs = (MicrosecondsNow() - start) / 1000;
  CImage loaded;
  start = MicrosecondsNow();
  const HRESULT read = loaded.Load(path.c_str());
  const double loadMs = (MicrosecondsNow() - start) / 1000;
  std::printf("CImage: %.1f ms to save a 1280x1024 JPEG (checked by decoding), %.1f ms to load it%s\n", saveMs, loadMs,
              saved == S_OK && read == S_OK ? "" : " (FAILED)");
  DeleteFileA(path.c_str());
}

}  // namespace

int main() {
  BenchDispatch();
  BenchReplace();
  BenchCodePage();
  BenchImage();
  return 0;
}
