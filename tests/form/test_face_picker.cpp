// The emoticon picker (Part 3.5): the grid numbers, the place inside the work
// area, the pictures stretched into their cells with the colour of pixel
// (1, 1) left out, the hover frame, the choice on button up, the folders a
// user may have (empty, missing, 500 pictures, a file that is no GIF, a
// 4,000 x 4,000 picture), and the img tag the form inserts.
#include <gtest/gtest.h>

#include "CTestFolder.h"
#include "FormTestSupport.h"
#include "GifWriter.h"
#include "OrbTesting.h"
#include "form/CFaceDialog.h"
#include "form/COrbChat_Form.h"
#include "form/FaceGrid.h"
#include "resources/resource.h"

namespace {

// --- The numbers, without windows ---------------------------------------------

TEST(FaceGrid, TenColumnsUpTo110PicturesThenTheRoundedSquareRoot) {
  const struct {
    int count, cols, rows;
  } rows[] = {{1, 10, 1},    {9, 10, 1},    {10, 10, 2},   {20, 10, 3},  {100, 10, 11},
              {101, 10, 11}, {110, 10, 12}, {111, 11, 11}, {121, 11, 12}, {500, 22, 23}};
  for (const auto& row : rows) {
    const FaceGrid grid = ComputeFaceGrid(row.count, 24, 20);
    EXPECT_EQ(grid.cols, row.cols) << row.count;
    EXPECT_EQ(grid.rows, row.rows) << row.count;
    EXPECT_EQ(grid.gridWidth, row.cols * 24) << row.count;
    EXPECT_EQ(grid.gridHeight, row.rows * 20) << row.count;
  }
  EXPECT_EQ(ComputeFaceGrid(0, 24, 20).cols, 0);
  EXPECT_EQ(ComputeFaceGrid(0, 24, 20).rows, 0);
}

TEST(FaceGrid, WindowSizeCellsAndTheTemplateMinimum) {
  const FaceGrid grid = ComputeFaceGrid(20, 24, 20);
  const SIZE size = FaceWindowSize(grid, 2, 32, SIZE{100, 50});
  EXPECT_EQ(size.cx, 2 * 11 + 240);
  EXPECT_EQ(size.cy, 2 * 4 + 32 + 60);
  const SIZE empty = FaceWindowSize(ComputeFaceGrid(0, 0, 0), 2, 32, SIZE{213, 140});
  EXPECT_EQ(empty.cx, 213);
  EXPECT_EQ(empty.cy, 140);
  EXPECT_EQ(CRect(FaceCellRect(grid, 0, 0, 2, 32)), CRect(2, 34, 26, 54));
  EXPECT_EQ(CRect(FaceCellRect(grid, 2, 9, 2, 32)), CRect(9 * 24 + 20, 2 * 20 + 6 + 32, 9 * 24 + 44, 3 * 20 + 6 + 32));
}

TEST(FaceGrid, HugeCellsShrinkUntilTheWindowFitsTheWorkArea) {
  const RECT area{0, 0, 1280, 1000};
  FaceGrid grid = ComputeFaceGrid(4, 4000, 4000);
  FitFaceGrid(grid, 2, 32, area);
  const SIZE size = FaceWindowSize(grid, 2, 32, SIZE{0, 0});
  EXPECT_LE(size.cx + 1, 1280);
  EXPECT_LE(size.cy + 1, 1000);
  EXPECT_EQ(grid.cellWidth, grid.cellHeight);
  EXPECT_GT(grid.cellWidth, 100);
  FaceGrid small = ComputeFaceGrid(40, 24, 24);
  FitFaceGrid(small, 2, 32, area);
  EXPECT_EQ(small.cellWidth, 24);  // what fits is left alone
  FaceGrid many = ComputeFaceGrid(1000000, 24, 24);
  FitFaceGrid(many, 2, 32, area);
  EXPECT_EQ(many.cellWidth, 1);
}

TEST(FaceGrid, TheWindowStaysInsideTheWorkArea) {
  const RECT area{0, 0, 1280, 1000};
  const SIZE size{262, 140};
  EXPECT_EQ(PlaceFaceWindow(POINT{100, 200}, size, area).x, 100);
  EXPECT_EQ(PlaceFaceWindow(POINT{100, 200}, size, area).y, 200);
  // The window (one pixel larger than size) ends exactly at the edges.
  EXPECT_EQ(PlaceFaceWindow(POINT{1017, 859}, size, area).x, 1017);
  EXPECT_EQ(PlaceFaceWindow(POINT{1018, 860}, size, area).x, 1280 - 263);
  EXPECT_EQ(PlaceFaceWindow(POINT{1018, 860}, size, area).y, 1000 - 141);
  EXPECT_EQ(PlaceFaceWindow(POINT{1279, 999}, size, area).x, 1017);
  // Wider than the work area, or a cursor left of it: the work area's edge.
  EXPECT_EQ(PlaceFaceWindow(POINT{500, 500}, SIZE{2000, 100}, area).x, 0);
  const RECT right{1280, 0, 2560, 1000};
  EXPECT_EQ(PlaceFaceWindow(POINT{10, 10}, size, right).x, 1280);
}

// --- The picker ---------------------------------------------------------------------

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kPalette[4] = {kWhite, kRed, kBlue, kGreen};

CString Name(const char* format, int number) {
  CString name;
  name.Format(format, number);
  return name;
}

class FacePickerTest : public ::testing::Test {
 protected:
  FacePickerTest()
      : m_host(Seams::SetHostExePath, [this] { return m_folder.File("宿主.exe"); }),
        m_workArea(Seams::SetWorkArea, [this] { return m_area; }) {}

  // A picture of the face folder: a white 6 x 6 corner (the colour of pixel
  // (1, 1), left out when drawn) and the rest in colour index fill.
  void Face(const char* name, int width, int height, int fill = 1) {
    m_folder.Write(CString("Images\\Face\\") + name,
                   MakeGif(width, height, kPalette, [fill](int x, int y) { return x < 6 && y < 6 ? 0 : fill; }));
  }
  CString FacePath(const char* name) { return m_folder.File("Images\\Face\\") + name; }
  // Runs the picker; script acts inside its modal loop and must close it.
  INT_PTR Run(CFaceDialog& picker, OrbTesting::ModalAnswers::ActFn script) {
    OrbTesting::ModalAnswers modal;
    modal.Drive(std::move(script));
    const INT_PTR result = picker.DoModal();
    EXPECT_EQ(modal.TimedOut(), 0);
    return result;
  }
  static void Click(CDialog& dialog, POINT at) {
    dialog.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    dialog.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  }
  static POINT Centre(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }
  // Whether the picker's window lies inside the work area.
  void ExpectInsideWorkArea(const CDialog& dialog) {
    const CRect window = dialog.GetWindowRect();
    EXPECT_GE(window.left, m_area.left);
    EXPECT_GE(window.top, m_area.top);
    EXPECT_LE(window.right, m_area.right);
    EXPECT_LE(window.bottom, m_area.bottom);
  }

  CTestFolder m_folder;
  RECT m_area{0, 0, 1280, 1000};
  OrbTesting::ScopedSeam<Seams::ModulePathFn> m_host;
  OrbTesting::ScopedSeam<Seams::WorkAreaFn> m_workArea;
};

// The grid painted into a picture of the client area.
class PaintedGrid {
 public:
  explicit PaintedGrid(CFaceDialog& picker) {
    const CRect client = picker.GetClientRect();
    HDC screen = ::GetDC(nullptr);
    m_dc = ::CreateCompatibleDC(screen);
    m_bitmap = ::CreateCompatibleBitmap(screen, client.Width(), client.Height());
    ::ReleaseDC(nullptr, screen);
    m_old = ::SelectObject(m_dc, m_bitmap);
    CDC dc(m_dc);
    picker.OnEraseBkgnd(&dc);
  }
  ~PaintedGrid() {
    ::SelectObject(m_dc, m_old);
    ::DeleteObject(m_bitmap);
    ::DeleteDC(m_dc);
  }
  COLORREF At(int x, int y) const { return ::GetPixel(m_dc, x, y); }

 private:
  HDC m_dc;
  HBITMAP m_bitmap;
  HGDIOBJ m_old;
};

TEST_F(FacePickerTest, PicturesAreStretchedToTheLargestCellWithPixelOneOneLeftOut) {
  Face("a01.gif", 20, 20, 1);                        // red, narrower than the cell
  for (int i = 2; i <= 12; ++i) Face(Name("a%02d.gif", i), 24, 16, 2);  // blue, lower
  m_folder.Write("Images\\Face\\broken.gif", "not a picture");
  m_folder.Write("Images\\Face\\dir.gif\\inner.gif", "folder");
  m_folder.Write("Images\\Face\\other.png", "png");
  CFaceDialog picker;
  bool ran = false;
  Run(picker, [&](CDialog&) {
    ran = true;
    EXPECT_EQ(picker.m_nFaceCount, 13);
    ASSERT_EQ(picker.m_arrFaces.size(), 13u);
    EXPECT_EQ(picker.m_arrFaces[0]->strPath, FacePath("a01.gif"));
    EXPECT_TRUE(picker.m_arrFaces[12]->pImage->IsNull());  // broken.gif, kept without a picture
    EXPECT_EQ(picker.m_nCellWidth, 24);
    EXPECT_EQ(picker.m_nCellHeight, 20);
    EXPECT_EQ(picker.m_nCols, 10);
    EXPECT_EQ(picker.m_nRows, 2);
    EXPECT_EQ(picker.m_nTop, 4);  // the skin's client top
    // The client area holds the grid: 11 gaps and 10 cells across, the
    // skin's top, 3 gaps and 2 rows down (at least the template's size).
    EXPECT_EQ(picker.GetClientRect().Width(), 2 * 11 + 240 + 1);
    EXPECT_GE(picker.GetClientRect().Height(), 2 * 3 + 4 + 40 + 1);
    EXPECT_EQ(picker.GetWindowRect().Width(), picker.m_nGridWidth + 1);
    EXPECT_EQ(picker.GetWindowRect().Height(), picker.m_nGridHeight + 1);

    const PaintedGrid grid(picker);
    const CRect first = picker.m_arrFaces[0]->rcCell;
    EXPECT_EQ(first, CRect(2, 6, 26, 26));
    EXPECT_EQ(grid.At(first.left + 3, first.top + 3), CFaceDialog::kCellColour);  // the white corner is left out
    EXPECT_EQ(grid.At(first.right - 1, first.bottom - 1), kRed);          // stretched to the cell's edge
    EXPECT_EQ(grid.At(first.right, first.bottom), kWhite);                // the grid line
    const CRect second = picker.m_arrFaces[1]->rcCell;
    EXPECT_EQ(second.left, 28);
    EXPECT_EQ(grid.At(second.right - 1, second.bottom - 1), kBlue);
    const CRect broken = picker.m_arrFaces[12]->rcCell;
    EXPECT_EQ(broken, CRect(54, 28, 78, 48));
    EXPECT_EQ(grid.At(Centre(broken).x, Centre(broken).y), CFaceDialog::kCellColour);
    picker.EndDialog(IDCANCEL);
  });
  EXPECT_TRUE(ran);
}

TEST_F(FacePickerTest, TheLastHoveredPictureIsChosenOnButtonUp) {
  for (int i = 1; i <= 12; ++i) Face(Name("f%02d.gif", i), 24, 24);
  CFaceDialog picker;
  COLORREF framed = 0, erased = 0;
  const INT_PTR result = Run(picker, [&](CDialog& dialog) {
    dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ERASENOW);
    const CRect third = picker.m_arrFaces[2]->rcCell;
    dialog.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(Centre(third).x, Centre(third).y));
    EXPECT_EQ(picker.m_nHover, 2);
    const CRect fifth = picker.m_arrFaces[4]->rcCell;
    dialog.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(Centre(fifth).x, Centre(fifth).y));
    EXPECT_EQ(picker.m_nHover, 4);
    HDC dc = ::GetDC(dialog.m_hWnd);
    framed = ::GetPixel(dc, fifth.left, fifth.top);
    erased = ::GetPixel(dc, third.left, third.top);
    ::ReleaseDC(dialog.m_hWnd, dc);
    // Over an empty cell of the last row, then released there.
    const RECT empty = FaceCellRect(ComputeFaceGrid(12, 24, 24), 1, 8, picker.m_nGap, picker.m_nTop);
    Click(dialog, Centre(empty));
    EXPECT_EQ(picker.m_nHover, 4);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(picker.m_strSelectedPath, FacePath("f05.gif"));
  EXPECT_EQ(framed, CFaceDialog::kHoverColour);
  EXPECT_EQ(erased, CFaceDialog::kCellColour);
}

TEST_F(FacePickerTest, AClickBeforeAnyHoverClosesWithNothingChosen) {
  for (int i = 1; i <= 3; ++i) Face(Name("f%d.gif", i), 24, 24);
  CFaceDialog picker;
  const INT_PTR result = Run(picker, [&](CDialog& dialog) {
    dialog.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(picker.m_strSelectedPath, "");
}

TEST_F(FacePickerTest, AnEmptyOrMissingFolderGivesThePickerOfItsTemplateSize) {
  for (bool create : {false, true}) {
    if (create) m_folder.Write("Images\\Face\\readme.txt", "no pictures");
    CFaceDialog picker;
    CRect window;
    const INT_PTR result = Run(picker, [&](CDialog& dialog) {
      window = dialog.GetWindowRect();
      Click(dialog, POINT{20, 20});
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(picker.m_nFaceCount, 0);
    EXPECT_EQ(picker.m_nCols, 0);
    EXPECT_EQ(picker.m_strSelectedPath, "");
    EXPECT_GT(window.Width(), 150);  // 138 dialog units
    EXPECT_EQ(window.Width(), picker.m_nGridWidth + 1);
  }
}

TEST_F(FacePickerTest, NearTheCornerOfTheWorkAreaThePickerMovesInside) {
  m_area = RECT{0, 0, 640, 480};
  for (int i = 1; i <= 30; ++i) Face(Name("f%02d.gif", i), 32, 32);
  ::SetCursorPos(630, 470);
  POINT cursor{};
  ::GetCursorPos(&cursor);
  CFaceDialog picker;
  CRect window;
  Run(picker, [&](CDialog& dialog) {
    window = dialog.GetWindowRect();
    ExpectInsideWorkArea(dialog);
    dialog.SendMessage(WM_LBUTTONUP);
  });
  ASSERT_EQ(cursor.x, 630);
  ASSERT_EQ(cursor.y, 470);
  EXPECT_EQ(window.right, 640);
  EXPECT_EQ(window.bottom, 480);
  EXPECT_EQ(picker.m_nRows, 4);
}

TEST_F(FacePickerTest, FiveHundredPicturesAndAHugeOneStayInsideTheWorkArea) {
  for (int i = 0; i < 500; ++i) Face(Name("f%03d.gif", i), 16, 16, 1 + i % 3);
  Face("huge.gif", 4000, 4000);
  CFaceDialog picker;
  Run(picker, [&](CDialog& dialog) {
    EXPECT_EQ(picker.m_nFaceCount, 501);
    EXPECT_EQ(picker.m_nCols, 22);
    EXPECT_EQ(picker.m_nRows, 23);
    ExpectInsideWorkArea(dialog);
    EXPECT_LT(picker.m_nCellWidth, 4000);
    const PaintedGrid grid(picker);
    const CRect last = picker.m_arrFaces[500]->rcCell;
    EXPECT_LE(last.bottom, picker.GetClientRect().bottom);
    EXPECT_LE(last.right, picker.GetClientRect().right);
    dialog.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(Centre(last).x, Centre(last).y));
    Click(dialog, Centre(last));
  });
  EXPECT_EQ(picker.m_strSelectedPath, FacePath("huge.gif"));
}

// --- The form's button -------------------------------------------------------------

TEST_F(FacePickerTest, TheFormInsertsTheChosenPictureAsAnImgTag) {
  Face("smile.gif", 24, 24);
  CFormFixture fixture;
  COrbChat_Form& form = *fixture.m_pForm;
  form.GetEditor().SetHtml("<html><body></body></html>");
  OrbTesting::ModalAnswers modal;
  const CString path = FacePath("smile.gif");
  modal.Answer(IDOK, [&](CDialog& d) { dynamic_cast<CFaceDialog&>(d).m_strSelectedPath = path; });
  modal.Answer(IDOK, [&](CDialog& d) { dynamic_cast<CFaceDialog&>(d).m_strSelectedPath = FacePath("gone.gif"); });
  modal.Answer(IDCANCEL, [&](CDialog& d) { dynamic_cast<CFaceDialog&>(d).m_strSelectedPath = path; });
  modal.Answer(IDOK);
  for (int i = 0; i < 4; ++i)
    form.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FORM_FACE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(::GetDlgItem(form.m_hWnd, IDC_FORM_FACE)));
  EXPECT_EQ(modal.Pending(), 0u);
  ASSERT_EQ(modal.Asked().size(), 4u);
  EXPECT_EQ(modal.Asked()[0].templateId, static_cast<UINT>(IDD_FACE_PICKER));
  EXPECT_EQ(form.GetEditor().GetPictureCount(), 1);
  const CString html = form.GetEditor().GetHtml();
  EXPECT_NE(html.Find(CString("<IMG src=\"") + path + "\">"), -1) << html.GetString();
}

}  // namespace
