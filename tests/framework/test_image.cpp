// CImage: save by extension (JPEG for ".jpg") and load back, palettes kept,
// a bitmap attached without being owned, unreadable files and unknown
// extensions refused without leaving files, transparent stretched drawing,
// and GDI+ running exactly while image objects exist.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "CImage.h"
#include "CRect.h"
#include "CTestFolder.h"

namespace {

// The first bytes of a file (all of a shorter one; empty when it cannot be read).
std::string Head(const CString& path, size_t count) {
  std::string bytes;
  CTestFolder::ReadBytes(path, bytes);
  return bytes.substr(0, count);
}

// Paints the left half red and the right half blue.
void PaintHalves(CImage& image) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, static_cast<HBITMAP>(image));
  RECT left{0, 0, image.GetWidth() / 2, image.GetHeight()};
  RECT right{image.GetWidth() / 2, 0, image.GetWidth(), image.GetHeight()};
  HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
  HBRUSH blue = ::CreateSolidBrush(RGB(0, 0, 255));
  ::FillRect(dc, &left, red);
  ::FillRect(dc, &right, blue);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::DeleteObject(red);
  ::DeleteObject(blue);
}

bool Near(COLORREF got, COLORREF want, int tolerance) {
  return std::abs(GetRValue(got) - GetRValue(want)) <= tolerance &&
         std::abs(GetGValue(got) - GetGValue(want)) <= tolerance &&
         std::abs(GetBValue(got) - GetBValue(want)) <= tolerance;
}

TEST(ImageFile, SaveAsJpegThenLoad) {
  CTestFolder folder;
  const CString path = folder.File("截图.jpg");
  {
    CImage image;
    ASSERT_TRUE(image.Create(40, 30, 24));
    PaintHalves(image);
    ASSERT_EQ(image.Save(path), S_OK);
  }
  EXPECT_EQ(Head(path, 2), std::string("\xFF\xD8"));  // a JPEG stream
  CImage loaded;
  ASSERT_EQ(loaded.Load(path), S_OK);
  EXPECT_EQ(loaded.GetWidth(), 40);
  EXPECT_EQ(loaded.GetHeight(), 30);
  EXPECT_EQ(loaded.GetBPP(), 24);
  EXPECT_TRUE(Near(loaded.GetPixel(5, 15), RGB(255, 0, 0), 40));
  EXPECT_TRUE(Near(loaded.GetPixel(35, 15), RGB(0, 0, 255), 40));
}

TEST(ImageFile, EncoderChosenByExtensionWhateverItsCase) {
  CTestFolder folder;
  struct Row {
    const char* name;
    std::string magic;
    bool exact;  // lossless format: colours come back exactly
  };
  const Row rows[] = {
      {"a.JPG", "\xFF\xD8", false}, {"b.Jpeg", "\xFF\xD8", false}, {"c.png", "\x89PNG", true},
      {"d.bmp", "BM", true},
  };
  CImage image;
  ASSERT_TRUE(image.Create(20, 10, 24));
  PaintHalves(image);
  for (const Row& row : rows) {
    const CString path = folder.File(row.name);
    ASSERT_EQ(image.Save(path), S_OK) << row.name;
    EXPECT_EQ(Head(path, static_cast<DWORD>(row.magic.size())), row.magic) << row.name;
    CImage loaded;
    ASSERT_EQ(loaded.Load(path), S_OK) << row.name;
    EXPECT_EQ(loaded.GetWidth(), 20) << row.name;
    EXPECT_TRUE(Near(loaded.GetPixel(2, 5), RGB(255, 0, 0), row.exact ? 0 : 40)) << row.name;
    EXPECT_TRUE(Near(loaded.GetPixel(17, 5), RGB(0, 0, 255), row.exact ? 0 : 40)) << row.name;
  }
}

// A 4x4 GIF with the palette magenta, green, red, blue; red stands at (1, 1).
const char kFaceGif[] =
    "\x47\x49\x46\x38\x39\x61\x04\x00\x04\x00\x81\x00\x00\xFF\x00\xFF\x00\xA0\x00\xFF\x00\x00\x00\x00\xFF"
    "\x2C\x00\x00\x00\x00\x04\x00\x04\x00\x00\x02\x0A\x04\x98\x11\x62\xC6\x84\x19\x37\x0E\x2C\x00\x3B";

TEST(ImageFile, PaletteOfAGifIsKept) {
  CTestFolder folder;
  const CString path = folder.File("表情.gif");
  CTestFolder::WriteBytes(path, std::string(kFaceGif, sizeof kFaceGif - 1));
  CImage face;
  ASSERT_EQ(face.Load(path), S_OK);
  EXPECT_EQ(face.GetWidth(), 4);
  EXPECT_EQ(face.GetHeight(), 4);
  EXPECT_EQ(face.GetBPP(), 8);
  EXPECT_EQ(face.GetPixel(1, 1), RGB(255, 0, 0));  // the colour a picker keys out
  EXPECT_EQ(face.GetPixel(0, 0), RGB(255, 0, 255));
  EXPECT_EQ(face.GetPixel(3, 0), RGB(0, 0, 255));
  EXPECT_EQ(face.GetPixel(2, 2), RGB(0, 160, 0));
}

TEST(ImageFile, SaveEitherWritesALoadableFileOrNothing) {
  // GIF encoders differ in what they accept; whatever the answer, a failed
  // save must leave no file and a successful one a picture that loads.
  CTestFolder folder;
  const CString path = folder.File("动画.gif");
  CImage image;
  ASSERT_TRUE(image.Create(8, 8, 24));
  if (image.Save(path) == S_OK) {
    CImage loaded;
    EXPECT_EQ(loaded.Load(path), S_OK);
    EXPECT_EQ(loaded.GetWidth(), 8);
  } else {
    EXPECT_FALSE(CTestFolder::Exists(path));
  }
  EXPECT_FALSE(CTestFolder::Exists(path + ".part"));
}

TEST(ImageFile, FailedSaveKeepsTheOlderFile) {
  CTestFolder folder;
  const CString path = folder.File("旧.gif");
  CTestFolder::WriteBytes(path, std::string(kFaceGif, sizeof kFaceGif - 1));
  CImage image;
  ASSERT_TRUE(image.Create(8, 8, 24));
  if (image.Save(path) != S_OK) {
    EXPECT_EQ(Head(path, 49), std::string(kFaceGif, sizeof kFaceGif - 1));
  }
  CImage loaded;
  EXPECT_EQ(loaded.Load(path), S_OK);  // old or new, always a picture
}

TEST(ImageFile, UnknownExtensionWritesNothing) {
  CTestFolder folder;
  CImage image;
  ASSERT_TRUE(image.Create(4, 4, 24));
  for (const char* name : {"x.xyz", "noextension", "dot.", "dir.jpg\\file"}) {
    const CString path = folder.File(name);
    EXPECT_NE(image.Save(path), S_OK) << name;
    EXPECT_FALSE(CTestFolder::Exists(path)) << name;
  }
  CImage empty;
  EXPECT_NE(empty.Save(folder.File("empty.jpg")), S_OK);
  EXPECT_FALSE(CTestFolder::Exists(folder.File("empty.jpg")));
}

TEST(ImageFile, UnreadableFilesLeaveTheObjectEmpty) {
  CTestFolder folder;
  const CString garbage = folder.File("坏.png");
  CTestFolder::WriteBytes(garbage, "this is not a picture");
  CImage image;
  ASSERT_TRUE(image.Create(4, 4, 24));
  EXPECT_NE(image.Load(garbage), S_OK);
  EXPECT_TRUE(image.IsNull());
  EXPECT_EQ(image.GetWidth(), 0);
  EXPECT_EQ(image.GetHeight(), 0);
  EXPECT_NE(image.Load(folder.File("missing.gif")), S_OK);
  EXPECT_NE(image.Load(nullptr), S_OK);
  EXPECT_EQ(image.GetPixel(0, 0), CLR_INVALID);
}

TEST(ImageAttach, AttachedBitmapIsNotOwnedAndSavesAsJpeg) {
  CTestFolder folder;
  HDC screen = ::GetDC(nullptr);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 12);  // a screen bitmap, as on the clipboard
  ::ReleaseDC(nullptr, screen);
  ASSERT_NE(bitmap, nullptr);
  {
    CImage image;
    image.Attach(bitmap);
    EXPECT_EQ(image.GetWidth(), 16);
    EXPECT_EQ(image.GetHeight(), 12);
    EXPECT_GT(image.GetBPP(), 0);
    EXPECT_EQ(image.Save(folder.File("clip.jpg")), S_OK);
    // A picture without alpha stays opaque when the format keeps alpha.
    ASSERT_EQ(image.Save(folder.File("clip.png")), S_OK);
    CImage png;
    ASSERT_EQ(png.Load(folder.File("clip.png")), S_OK);
    EXPECT_EQ(png.GetBPP(), 24);
    EXPECT_EQ(image.Detach(), bitmap);
    EXPECT_TRUE(image.IsNull());
    image.Attach(bitmap);  // destroyed while attached: still not deleted
  }
  BITMAP info{};
  EXPECT_NE(::GetObjectA(bitmap, sizeof info, &info), 0);  // still alive
  ::DeleteObject(bitmap);
}

TEST(ImageDraw, TransparentColourIsLeftOutWhenStretched) {
  // A 4x4 magenta picture with a green 2x2 centre, drawn at 8x8 onto white.
  CImage picture;
  ASSERT_TRUE(picture.Create(4, 4, 24));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      picture.SetPixel(x, y, (x == 1 || x == 2) && (y == 1 || y == 2) ? RGB(0, 160, 0) : RGB(255, 0, 255));
  CImage canvas;
  ASSERT_TRUE(canvas.Create(12, 12, 32));
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, static_cast<HBITMAP>(canvas));
  ASSERT_TRUE(picture.TransparentBlt(dc, CRect(2, 2, 10, 10), picture.GetPixel(0, 0)));
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  struct Row {
    int x, y;
    COLORREF expected;
  };
  const Row rows[] = {{2, 2, RGB(255, 255, 255)}, {9, 9, RGB(255, 255, 255)}, {5, 5, RGB(0, 160, 0)},
                      {6, 6, RGB(0, 160, 0)},     {0, 0, RGB(255, 255, 255)}, {3, 6, RGB(255, 255, 255)}};
  for (const Row& row : rows) EXPECT_EQ(canvas.GetPixel(row.x, row.y), row.expected) << row.x << "," << row.y;
}

TEST(ImageLifetime, GdiplusRunsWhileImagesExist) {
  EXPECT_FALSE(CImage::IsGdiplusRunning());
  {
    auto first = std::make_unique<CImage>();
    EXPECT_TRUE(CImage::IsGdiplusRunning());
    {
      CImage second;
      EXPECT_TRUE(CImage::IsGdiplusRunning());
    }
    EXPECT_TRUE(CImage::IsGdiplusRunning());  // the first still needs it
    first.reset();
    EXPECT_FALSE(CImage::IsGdiplusRunning());
  }
  CImage again;  // and it starts again for a later image
  EXPECT_TRUE(CImage::IsGdiplusRunning());
  EXPECT_TRUE(again.Create(2, 2, 32));
}

}  // namespace
