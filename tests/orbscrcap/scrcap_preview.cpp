// scrcap_preview: a region capture half-way through a drag, for screenshots.
// A sample desktop (a conversation-like window with text and a coloured
// picture) is drawn first; the capture then freezes it, and synthesised
// mouse messages press the button and drag to the far corner without
// releasing it. Not a test; the capture is cancelled after a few seconds.
//   scrcap_preview.exe [seconds]
// When ORB_READY_FILE is set, that file is created once the overlay is drawn.
#include <windows.h>

#include <cstdlib>

#include "CPaintDC.h"
#include "CSelectObjectGuard.h"
#include "CFont.h"
#include "OverlayDriver.h"
#include "ScreenCapture.h"

namespace {

// A desktop with something worth capturing on it.
class CSampleDesktop : public CWnd {
 public:
  CSampleDesktop() {
    const CRect screen = CScreenCapture::GetScreenArea();
    CreateEx(0, nullptr, "desktop", WS_POPUP, screen, nullptr, 0);
    m_font.CreatePointFont(110, "宋体");
    ShowWindow(SW_SHOW);
    UpdateWindow();
  }

 protected:
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  void OnPaint() {
    CPaintDC dc(this);
    const CRect all = GetClientRect();
    dc.FillSolidRect(all, RGB(58, 110, 165));
    const CRect window(120, 90, 760, 600);
    dc.FillSolidRect(window, RGB(255, 255, 255));
    dc.FillSolidRect(CRect(window.left, window.top, window.right, window.top + 30), RGB(40, 90, 160));
    dc.FrameSolidRect(window, RGB(30, 60, 110));
    CSelectObjectGuard font(dc, m_font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(255, 255, 255));
    dc.TextOut(window.left + 10, window.top + 6, "张三 - 会话");
    const char* lines[] = {"张三 10:21:05", "下午三点的会议改到四点，地点不变。", "李四 10:22:40",
                           "好的，我把截图发给你看一下。"};
    int y = window.top + 50;
    for (int i = 0; i < 4; ++i) {
      dc.SetTextColor(i % 2 == 0 ? RGB(0, 128, 64) : RGB(0, 0, 0));
      dc.TextOut(window.left + (i % 2 == 0 ? 16 : 32), y, lines[i]);
      y += i % 2 == 0 ? 24 : 34;
    }
    // A picture of coloured bars and squares.
    const COLORREF colours[] = {RGB(230, 60, 50), RGB(250, 180, 40), RGB(70, 180, 80), RGB(40, 140, 220),
                                RGB(140, 80, 200), RGB(240, 240, 240)};
    for (int i = 0; i < 6; ++i) {
      dc.FillSolidRect(CRect(window.left + 40 + i * 60, 320, window.left + 96 + i * 60, 420), colours[i]);
      dc.FillSolidRect(CRect(window.left + 40 + i * 60, 430, window.left + 68 + i * 60, 458), colours[5 - i]);
    }
    dc.SetTextColor(RGB(90, 90, 90));
    dc.TextOut(window.left + 40, 480, "图片：色卡.png  (360 × 138)");
  }
  DECLARE_MESSAGE_MAP()

 private:
  CFont m_font;
};

BEGIN_MESSAGE_MAP(CSampleDesktop, CWnd)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
END_MESSAGE_MAP()

HWND g_overlay = nullptr;

void SignalReady() {
  const char* path = std::getenv("ORB_READY_FILE");
  if (!path || !*path) return;
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

void CALLBACK EndCapture(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_overlay) COverlayDriver::Key(g_overlay, VK_ESCAPE);
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 4;
  CSampleDesktop desktop;
  COverlayDriver driver(static_cast<DWORD>(seconds + 10) * 1000);
  const CPoint origin = CScreenCapture::GetScreenArea().TopLeft();
  auto at = [origin](int x, int y) { return CPoint(x - origin.x, y - origin.y); };
  driver.Then([&](HWND overlay) {
    COverlayDriver::Move(overlay, at(170, 150));
    COverlayDriver::Down(overlay, at(170, 150));
    COverlayDriver::Move(overlay, at(330, 260));
    COverlayDriver::Move(overlay, at(480, 440));
  });
  driver.Then([&](HWND overlay) {
    UpdateWindow(overlay);
    g_overlay = overlay;
    SignalReady();
    SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, &EndCapture);
  });
  // The real pointer rests where the drag ends: the system reports its
  // position to the overlay once the synthesised input has been handled.
  SetCursorPos(480, 440);
  driver.Start();
  const bool taken = CScreenCapture(&desktop).ScreenCapture(CScreenCapture::CAPTYPE_REGION);
  return taken ? 1 : 0;  // the preview cancels; a picture taken would be a fault
}
