// The clipboard seam: the system clipboard carries Chinese text and bitmaps;
// a stand-in clipboard answers instead; the picture-from-clipboard flow keeps
// the clipboard's bitmap alive (attached, not owned) and writes a JPEG.
#include <gtest/gtest.h>

#include "CClipboard.h"
#include "CImage.h"
#include "CWnd.h"
#include "FakeClipboard.h"
#include "CTestFolder.h"

namespace {

HBITMAP SolidBitmap(int width, int height, COLORREF colour) {
  HDC screen = ::GetDC(nullptr);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
  HDC dc = ::CreateCompatibleDC(screen);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  RECT all{0, 0, width, height};
  HBRUSH brush = ::CreateSolidBrush(colour);
  ::FillRect(dc, &all, brush);
  ::DeleteObject(brush);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  return bitmap;
}

// One test for everything that touches the system clipboard, which other
// processes share: its steps must not interleave with each other.
TEST(SystemClipboard, TextAndBitmapRoundTrip) {
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
  {
    CClipboardLock lock(owner);
    ASSERT_TRUE(lock.IsOpen());
    ASSERT_TRUE(lock->SetText("群组 誠|皘"));
  }
  {
    CClipboardLock lock(owner);
    ASSERT_TRUE(lock.IsOpen());
    EXPECT_TRUE(lock->HasText());
    EXPECT_FALSE(lock->HasBitmap());
    EXPECT_EQ(lock->GetText(), "群组 誠|皘");
  }
  HBITMAP red = SolidBitmap(8, 6, RGB(255, 0, 0));
  {
    CClipboardLock lock(owner);
    ASSERT_TRUE(lock.IsOpen());
    ASSERT_TRUE(lock->SetBitmap(red));
  }
  ::DeleteObject(red);  // the clipboard holds its own copy
  {
    CClipboardLock lock(owner);
    ASSERT_TRUE(lock.IsOpen());
    EXPECT_TRUE(lock->HasBitmap());
    EXPECT_FALSE(lock->HasText());
    CImage image;
    image.Attach(lock->GetBitmap());
    EXPECT_EQ(image.GetWidth(), 8);
    EXPECT_EQ(image.GetHeight(), 6);
    EXPECT_EQ(image.GetPixel(3, 3), RGB(255, 0, 0));
    image.Detach();
    EXPECT_TRUE(lock->Empty());
  }
}

TEST(ClipboardSeam, StandInAnswersWhileItLives) {
  {
    OrbTesting::FakeClipboard fake;
    EXPECT_EQ(&Seams::GetClipboard(), &fake);
    {
      CClipboardLock lock(nullptr);
      ASSERT_TRUE(lock.IsOpen());
      EXPECT_TRUE(lock->SetText("文本"));
    }
    EXPECT_EQ(fake.Opens(), 1);
    EXPECT_EQ(fake.Closes(), 1);
    EXPECT_TRUE(fake.HasText());
  }
  OrbTesting::FakeClipboard later;
  EXPECT_FALSE(later.HasText());  // nothing carried over
}

TEST(ClipboardSeam, BusyClipboardIsNeverClosedByUs) {
  OrbTesting::FakeClipboard fake;
  fake.SetBusy(true);
  {
    CClipboardLock lock(nullptr);
    EXPECT_FALSE(lock.IsOpen());
  }
  EXPECT_EQ(fake.Closes(), 0);
}

TEST(ClipboardSeam, PictureFromClipboardIsSavedAndStaysTheClipboards) {
  CTestFolder folder;
  OrbTesting::FakeClipboard fake;
  HBITMAP green = SolidBitmap(10, 10, RGB(0, 200, 0));
  {
    CClipboardLock lock(nullptr);
    ASSERT_TRUE(lock->SetBitmap(green));
  }
  ::DeleteObject(green);
  const CString path = folder.File("123456.jpg");
  {
    CClipboardLock lock(nullptr);
    ASSERT_TRUE(lock.IsOpen() && lock->HasBitmap());
    CImage image;
    image.Attach(lock->GetBitmap());
    EXPECT_EQ(image.Save(path), S_OK);
    image.Detach();
  }
  EXPECT_TRUE(CTestFolder::Exists(path));
  CClipboardLock lock(nullptr);
  ASSERT_TRUE(lock.IsOpen());
  BITMAP info{};
  EXPECT_NE(::GetObjectA(lock->GetBitmap(), sizeof info, &info), 0);  // not deleted by the image
  EXPECT_EQ(info.bmWidth, 10);
}

}  // namespace
