// The region capture end to end, with no seam: the real overlay opens over
// the frozen screen and is driven by mouse and key messages inside its own
// modal loop, as a user would drive it.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "CBitmap.h"
#include "CClientDC.h"
#include "CSelectObjectGuard.h"
#include "OrbTesting.h"
#include "OverlayDriver.h"
#include "ScrCapTestSupport.h"
#include "ScreenCapture.h"

namespace {

const COLORREF kGreen = RGB(10, 200, 30);
const char kOldText[] = "旧的剪贴板内容";

// A darkened pixel keeps less than 60 % of each channel, and is not black.
bool IsDarkened(COLORREF pixel, COLORREF original) {
  auto darker = [](int now, int was) { return now * 10 < was * 6 || was == 0; };
  return pixel != RGB(0, 0, 0) && darker(GetRValue(pixel), GetRValue(original)) &&
         darker(GetGValue(pixel), GetGValue(original)) && darker(GetBValue(pixel), GetBValue(original));
}

// What a window shows now, read from its own device context.
CBitmapPixels WindowPicture(HWND wnd) {
  RECT client{};
  GetClientRect(wnd, &client);
  CBitmap copy;
  CClientDC source(CWnd::FromHandle(wnd));
  if (!copy.CreateCompatibleBitmap(source, client.right, client.bottom)) return CBitmapPixels(nullptr);
  {
    CDC memory;
    if (!memory.CreateCompatibleDC(source)) return CBitmapPixels(nullptr);
    CSelectObjectGuard select(memory, copy);
    memory.BitBlt(0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
  }
  return CBitmapPixels(copy);
}

class CaptureOverlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_owner.CreateEx(0, nullptr, "owner", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    ASSERT_TRUE(OrbTesting::PumpUntil([] { return ScreenPixel(250, 200) == kGreen; }, 5000));
    ASSERT_TRUE(m_clipboard.Open(nullptr));
    m_clipboard.SetText(kOldText);
    m_clipboard.Close();
    m_nOpensBefore = m_clipboard.Opens();
    m_ptOrigin = CScreenCapture::GetScreenArea().TopLeft();
  }

  // A screen point in the overlay's client coordinates.
  CPoint Client(int x, int y) const { return CPoint(x - m_ptOrigin.x, y - m_ptOrigin.y); }

  // Runs a region capture driven by steps; checks that it always ends with
  // no overlay left and the owner usable again.
  bool Capture(const std::vector<COverlayDriver::Step>& steps, COverlayDriver& driver) {
    for (const auto& step : steps) driver.Then(step);
    driver.Start();
    const bool taken = CScreenCapture(&m_owner).ScreenCapture(CScreenCapture::CAPTYPE_REGION);
    EXPECT_FALSE(driver.TimedOut()) << "the overlay had to be destroyed by the watchdog";
    EXPECT_EQ(COverlayDriver::FindOverlay(), nullptr) << "an overlay was left behind";
    if (m_owner.IsWindow()) {
      EXPECT_TRUE(m_owner.IsWindowEnabled());
    }
    return taken;
  }

  void ExpectClipboardUntouched() {
    EXPECT_EQ(m_clipboard.Opens(), m_nOpensBefore);
    EXPECT_FALSE(m_clipboard.HasBitmap());
    ASSERT_TRUE(m_clipboard.Open(nullptr));
    EXPECT_EQ(m_clipboard.GetText(), kOldText);
    m_clipboard.Close();
    m_nOpensBefore = m_clipboard.Opens();
  }

  CWnd m_owner;
  CColourWindow m_green{CRect(100, 100, 400, 300), kGreen};
  OrbTesting::FakeClipboard m_clipboard;
  int m_nOpensBefore = 0;
  CPoint m_ptOrigin;
};

TEST_F(CaptureOverlayTest, DragReleaseAndDoubleClickPutTheRegionOnTheClipboard) {
  CBitmapPixels midDrag(nullptr);
  CRect overlayRect;
  bool topmost = false;
  BOOL ownerEnabled = TRUE;
  COverlayDriver driver;
  const bool taken = Capture(
      {[&](HWND overlay) {
         COverlayDriver::Move(overlay, Client(150, 150));
         COverlayDriver::Down(overlay, Client(150, 150));
         COverlayDriver::Move(overlay, Client(220, 200));
         COverlayDriver::Move(overlay, Client(300, 250));
       },
       [&](HWND overlay) {
         // Half-way: the button is still down at the far corner.
         UpdateWindow(overlay);
         midDrag = WindowPicture(overlay);
         GetWindowRect(overlay, &overlayRect);
         topmost = (GetWindowLongPtrA(overlay, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
         ownerEnabled = m_owner.IsWindowEnabled();
         COverlayDriver::Up(overlay, Client(300, 250));
       },
       [&](HWND overlay) { COverlayDriver::DoubleClick(overlay, Client(200, 200)); }},
      driver);

  EXPECT_EQ(driver.StepsRun(), 3);
  EXPECT_EQ(overlayRect, CScreenCapture::GetScreenArea());
  EXPECT_TRUE(topmost);
  EXPECT_FALSE(ownerEnabled) << "the form could be used while the user chose";
  ASSERT_FALSE(midDrag.m_arrPixels.empty());
  const CPoint inside = Client(200, 200), outside = Client(120, 120), label = Client(152, 128);
  const CPoint lens = Client(330, 280);  // below right of the pointer, over darkened green without the lens
  EXPECT_EQ(midDrag.At(inside.x, inside.y), kGreen) << "the selection must show the screen as it is";
  EXPECT_TRUE(IsDarkened(midDrag.At(outside.x, outside.y), kGreen)) << "outside the selection is darkened";
  EXPECT_EQ(midDrag.At(lens.x, lens.y), kGreen) << "the magnified view shows the bright pixels at the pointer";
  const COLORREF labelPixel = midDrag.At(label.x, label.y);
  EXPECT_TRUE(labelPixel != kGreen && !IsDarkened(labelPixel, kGreen)) << "no size label above the selection";

  ASSERT_TRUE(taken);
  EXPECT_EQ(m_clipboard.LastOwner(), m_owner.m_hWnd);
  ASSERT_TRUE(m_clipboard.Open(nullptr));
  const CBitmapPixels picture(m_clipboard.GetBitmap());
  m_clipboard.Close();
  ASSERT_EQ(picture.m_nWidth, 150);
  ASSERT_EQ(picture.m_nHeight, 100);
  EXPECT_EQ(picture.CountOther(CRect(0, 0, 150, 100), kGreen), 0);
}

TEST_F(CaptureOverlayTest, EscARightClickAndEnterAfterAMereClickTakeNothing) {
  using Steps = std::vector<COverlayDriver::Step>;
  auto drag = [&](HWND overlay) {
    COverlayDriver::Down(overlay, Client(150, 150));
    COverlayDriver::Move(overlay, Client(300, 250));
  };
  const struct {
    const char* label;
    Steps steps;
  } rows[] = {
      {"Esc after a kept rectangle",
       {[&](HWND overlay) {
         drag(overlay);
         COverlayDriver::Up(overlay, Client(300, 250));
         COverlayDriver::Key(overlay, VK_ESCAPE);
       }}},
      {"a right click during the drag",
       {[&](HWND overlay) {
         drag(overlay);
         COverlayDriver::RightClick(overlay, Client(300, 250));
       }}},
      // The overlay must still be open for the second step to run.
      {"Enter after a click without a drag",
       {[&](HWND overlay) {
          COverlayDriver::Down(overlay, Client(200, 200));
          COverlayDriver::Up(overlay, Client(200, 200));
          COverlayDriver::Key(overlay, VK_RETURN);
        },
        [](HWND overlay) { COverlayDriver::Key(overlay, VK_ESCAPE); }}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    COverlayDriver driver;
    EXPECT_FALSE(Capture(row.steps, driver));
    EXPECT_EQ(driver.StepsRun(), static_cast<int>(row.steps.size()));
    EXPECT_EQ(driver.Missed(), 0);
    ExpectClipboardUntouched();
  }
}

TEST_F(CaptureOverlayTest, ALostCaptureAClosedOrDestroyedWindowAndQuittingEndItCancelled) {
  const struct {
    const char* label;
    std::function<void(HWND overlay)> act;
    bool quits;
  } rows[] = {
      {"the mouse capture taken away mid-drag", [](HWND) { ReleaseCapture(); }, false},
      {"the overlay closed", [](HWND overlay) { PostMessageA(overlay, WM_CLOSE, 0, 0); }, false},
      {"the overlay destroyed", [](HWND overlay) { DestroyWindow(overlay); }, false},
      {"the owner destroyed", [this](HWND) { m_owner.DestroyWindow(); }, false},
      {"the program quitting", [](HWND) { PostQuitMessage(7); }, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    if (!m_owner.IsWindow()) {
      ASSERT_TRUE(m_owner.CreateEx(0, nullptr, "owner", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    }
    COverlayDriver driver;
    const bool taken = Capture({[&](HWND overlay) {
                                  COverlayDriver::Down(overlay, Client(150, 150));
                                  COverlayDriver::Move(overlay, Client(300, 250));
                                },
                                [&](HWND overlay) { row.act(overlay); }},
                               driver);
    EXPECT_FALSE(taken);
    EXPECT_EQ(driver.StepsRun(), 2);
    ExpectClipboardUntouched();
    MSG quit{};
    const bool quitLeft = PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    EXPECT_EQ(quitLeft, row.quits)
        << "WM_QUIT must be left for the program's own loop, and only then";
    if (quitLeft) {
      EXPECT_EQ(quit.wParam, 7u);
    }
  }
}

}  // namespace
