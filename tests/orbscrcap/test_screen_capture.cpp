// Both capture types against a known picture on the screen, with the region
// chosen through the chooser seam: what reaches the clipboard, that the
// screen is frozen while the user chooses, and every way a capture ends
// with the clipboard untouched.
#include <gtest/gtest.h>

#include <vector>

#include "OrbTesting.h"
#include "ScrCapTestSupport.h"
#include "ScreenCapture.h"

namespace {

const COLORREF kGreen = RGB(10, 200, 30);
const COLORREF kRed = RGB(220, 20, 20);
const char kOldText[] = "旧的剪贴板内容";
const CRect kPainted(100, 100, 400, 300);  // screen coordinates of the green window

using Seam = OrbTesting::ScopedSeam<CScreenCapture::RegionChooser>;
using AreaSeam = OrbTesting::ScopedSeam<CScreenCapture::ScreenAreaFn>;

class ScreenCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_owner.CreateEx(0, nullptr, "owner", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    ASSERT_TRUE(OrbTesting::PumpUntil([] { return ScreenPixel(250, 200) == kGreen; }, 5000))
        << "the green window never reached the screen";
    ASSERT_TRUE(m_clipboard.Open(nullptr));
    m_clipboard.SetText(kOldText);
    m_clipboard.Close();
    m_nOpensBefore = m_clipboard.Opens();
  }

  // The picture on the clipboard, or an empty one.
  CBitmapPixels Picture() {
    if (!m_clipboard.Open(nullptr)) return CBitmapPixels(nullptr);
    CBitmapPixels pixels(m_clipboard.GetBitmap());
    m_clipboard.Close();
    return pixels;
  }

  // The clipboard as the test left it: the old text, never opened since.
  void ExpectClipboardUntouched() {
    EXPECT_EQ(m_clipboard.Opens(), m_nOpensBefore);
    EXPECT_TRUE(m_clipboard.HasText());
    EXPECT_FALSE(m_clipboard.HasBitmap());
    ASSERT_TRUE(m_clipboard.Open(nullptr));
    EXPECT_EQ(m_clipboard.GetText(), kOldText);
    m_clipboard.Close();
    m_nOpensBefore = m_clipboard.Opens();
  }

  CWnd m_owner;
  CColourWindow m_green{kPainted, kGreen};
  OrbTesting::FakeClipboard m_clipboard;
  int m_nOpensBefore = 0;
};

TEST_F(ScreenCaptureTest, FullScreenPutsEveryPixelOfTheScreenOnTheClipboard) {
  const CRect area = CScreenCapture::GetScreenArea();
  EXPECT_EQ(area.Width(), GetSystemMetrics(SM_CXVIRTUALSCREEN));
  EXPECT_EQ(area.Height(), GetSystemMetrics(SM_CYVIRTUALSCREEN));

  ASSERT_TRUE(CScreenCapture(&m_owner).ScreenCapture(CScreenCapture::CAPTYPE_FULLSCREEN));
  EXPECT_EQ(m_clipboard.LastOwner(), m_owner.m_hWnd);
  EXPECT_FALSE(m_clipboard.IsOpen());
  const CBitmapPixels picture = Picture();
  ASSERT_EQ(picture.m_nWidth, area.Width());
  ASSERT_EQ(picture.m_nHeight, area.Height());
  CRect green = kPainted;
  green.OffsetRect(-area.left, -area.top);
  EXPECT_EQ(picture.CountOther(green, kGreen), 0);
  EXPECT_NE(picture.At(green.left - 1, green.top - 1), kGreen);
}

TEST_F(ScreenCaptureTest, RegionTakesTheChosenRectangleOfTheScreenAsItWasFrozen) {
  HWND askedOwner = nullptr;
  CRect askedScreen;
  CSize frozenSize;
  Seam chooser(CScreenCapture::SetRegionChooser, [&](HWND owner, HBITMAP frozen, const CRect& screen, CRect& region) {
    askedOwner = owner;
    askedScreen = screen;
    BITMAP info{};
    if (GetObjectA(frozen, sizeof info, &info)) frozenSize = CSize(info.bmWidth, info.bmHeight);
    // The screen changes while the user chooses; the capture must not.
    m_green.Recolour(kRed);
    OrbTesting::PumpUntil([] { return ScreenPixel(250, 200) == kRed; }, 5000);
    region = CRect(150, 150, 250, 230);
    return true;
  });

  ASSERT_TRUE(CScreenCapture(m_owner.m_hWnd).ScreenCapture(CScreenCapture::CAPTYPE_REGION));
  EXPECT_EQ(ScreenPixel(250, 200), kRed) << "the screen did not change, so the freeze was not tested";
  EXPECT_EQ(askedOwner, m_owner.m_hWnd);
  EXPECT_EQ(askedScreen, CScreenCapture::GetScreenArea());
  EXPECT_EQ(frozenSize, askedScreen.Size());
  const CBitmapPixels picture = Picture();
  ASSERT_EQ(picture.m_nWidth, 100);
  ASSERT_EQ(picture.m_nHeight, 80);
  EXPECT_EQ(picture.CountOther(CRect(0, 0, 100, 80), kGreen), 0);
}

TEST_F(ScreenCaptureTest, ChosenRectanglesAreCutToTheScreenOrTakeNothing) {
  const CRect area = CScreenCapture::GetScreenArea();
  const struct {
    const char* label;
    bool chosen;
    CRect region;
    CSize taken;  // 0 x 0: nothing reaches the clipboard
  } rows[] = {
      {"the user cancelled", false, CRect(150, 150, 250, 230), CSize()},
      {"a click without a drag", true, CRect(200, 200, 200, 200), CSize()},
      {"a line without height", true, CRect(150, 200, 250, 200), CSize()},
      {"a rectangle turned inside out", true, CRect(250, 230, 150, 150), CSize()},
      {"a rectangle beside the screen", true, CRect(area.right, area.top, area.right + 40, area.top + 40), CSize()},
      {"a rectangle reaching past the corner", true,
       CRect(area.right - 30, area.bottom - 20, area.right + 50, area.bottom + 50), CSize(30, 20)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Seam chooser(CScreenCapture::SetRegionChooser, [&](HWND, HBITMAP, const CRect&, CRect& region) {
      region = row.region;
      return row.chosen;
    });
    const bool taken = CScreenCapture(&m_owner).ScreenCapture(CScreenCapture::CAPTYPE_REGION);
    EXPECT_EQ(taken, row.taken.cx > 0);
    if (taken) {
      const CBitmapPixels picture = Picture();
      EXPECT_EQ(CSize(picture.m_nWidth, picture.m_nHeight), row.taken);
    } else {
      ExpectClipboardUntouched();
    }
  }
}

// A busy clipboard, an unknown type, a screen too large to hold: false, and
// the clipboard as it was (the user is not asked to choose in vain when the
// screen cannot be taken).
TEST_F(ScreenCaptureTest, RefusedCapturesLeaveTheClipboardUntouched) {
  int asked = 0;
  Seam chooser(CScreenCapture::SetRegionChooser, [&](HWND, HBITMAP, const CRect&, CRect& region) {
    ++asked;
    region = CRect(150, 150, 250, 230);
    return true;
  });
  m_clipboard.SetBusy(true);
  EXPECT_FALSE(CScreenCapture(&m_owner).ScreenCapture(CScreenCapture::CAPTYPE_FULLSCREEN));
  EXPECT_FALSE(CScreenCapture(&m_owner).ScreenCapture(CScreenCapture::CAPTYPE_REGION));
  EXPECT_EQ(asked, 1);
  m_clipboard.SetBusy(false);
  EXPECT_FALSE(CScreenCapture(&m_owner).ScreenCapture(2));
  EXPECT_FALSE(CScreenCapture(&m_owner).ScreenCapture(-1));
  for (const CRect& huge : {CRect(0, 0, 40000, 40000), CRect(0, 0, 32768, 16), CRect(0, 0, 0, 0)}) {
    AreaSeam area(CScreenCapture::SetScreenArea, [huge] { return huge; });
    EXPECT_FALSE(CScreenCapture(&m_owner).ScreenCapture(CScreenCapture::CAPTYPE_FULLSCREEN));
    EXPECT_FALSE(CScreenCapture(&m_owner).ScreenCapture(CScreenCapture::CAPTYPE_REGION));
  }
  EXPECT_EQ(asked, 1);
  ExpectClipboardUntouched();
}

// A desktop wider than the monitor, reaching left of and above it (a second
// monitor there): the picture covers all of it, the parts no monitor shows
// are black, and the monitor's pixels land where they belong.
TEST_F(ScreenCaptureTest, ADesktopBeyondThePrimaryMonitorIsTakenWhole) {
  const CRect wide(-1000, -200, 6680, 1080);
  AreaSeam area(CScreenCapture::SetScreenArea, [wide] { return wide; });
  ASSERT_TRUE(CScreenCapture(&m_owner).ScreenCapture(CScreenCapture::CAPTYPE_FULLSCREEN));
  const CBitmapPixels picture = Picture();
  ASSERT_EQ(picture.m_nWidth, 7680);
  ASSERT_EQ(picture.m_nHeight, 1280);
  CRect green = kPainted;
  green.OffsetRect(1000, 200);
  EXPECT_EQ(picture.CountOther(green, kGreen), 0);
  EXPECT_EQ(picture.At(10, 10), RGB(0, 0, 0));
  EXPECT_EQ(picture.At(7670, 1270), RGB(0, 0, 0));
}

}  // namespace
