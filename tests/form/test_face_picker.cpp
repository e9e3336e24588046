// The emoticon picker: the grid numbers, the place inside the work
// area, pictures stretched into their cells with the colour of pixel (1, 1)
// left out, the hover frame, the choice on button up, the folders a user may
// have (empty, missing, 500 pictures, a file that is no GIF, a 4,000 x 4,000
// picture), and the img tag the form inserts.
#include <gtest/gtest.h>

#include "CTestFolder.h"
#include "FormTestSupport.h"
#include "OrbTesting.h"
#include "form/CFaceDialog.h"
#include "form/COrbChat_Form.h"
#include "resources/resource.h"

namespace {

TEST(FaceGrid, ColumnsRowsSizeAndPlace) {
  const int rows[][3] = {{1, 10, 1},    {10, 10, 2},   {20, 10, 3},   {100, 10, 11},
                         {101, 10, 11}, {111, 11, 11}, {121, 11, 12}, {500, 22, 23}};
  for (const auto& row : rows) {
    const FaceGrid grid = ComputeFaceGrid(row[0], 24, 20);
    EXPECT_EQ(grid.cols, row[1]) << row[0];
    EXPECT_EQ(grid.rows, row[2]) << row[0];
  }
  const FaceGrid grid = ComputeFaceGrid(20, 24, 20);
  EXPECT_EQ(FaceWindowSize(grid, 2, 32, SIZE{100, 50}).cx, 2 * 11 + 240);
  EXPECT_EQ(FaceWindowSize(grid, 2, 32, SIZE{100, 50}).cy, 2 * 4 + 32 + 60);
  EXPECT_EQ(FaceWindowSize(ComputeFaceGrid(0, 0, 0), 2, 32, SIZE{213, 140}).cx, 213);
  EXPECT_EQ(CRect(FaceCellRect(grid, 2, 9, 2, 32)), CRect(236, 78, 260, 98));
  // The window, one pixel larger than its size, ends at the work area's edges.
  const RECT area{0, 0, 1280, 1000};
  EXPECT_EQ(PlaceFaceWindow(POINT{1017, 859}, SIZE{262, 140}, area).x, 1017);
  EXPECT_EQ(PlaceFaceWindow(POINT{1018, 860}, SIZE{262, 140}, area).x, 1017);
  EXPECT_EQ(PlaceFaceWindow(POINT{1018, 860}, SIZE{262, 140}, area).y, 859);
  EXPECT_EQ(PlaceFaceWindow(POINT{500, 500}, SIZE{2000, 100}, area).x, 0);
  EXPECT_EQ(PlaceFaceWindow(POINT{10, 10}, SIZE{262, 140}, RECT{1280, 0, 2560, 1000}).x, 1280);
  FaceGrid huge = ComputeFaceGrid(4, 4000, 4000);
  FitFaceGrid(huge, 2, 32, area);
  EXPECT_LE(FaceWindowSize(huge, 2, 32, SIZE{0, 0}).cx + 1, 1280);
  EXPECT_LE(FaceWindowSize(huge, 2, 32, SIZE{0, 0}).cy + 1, 1000);
  EXPECT_EQ(huge.cellWidth, huge.cellHeight);
  FaceGrid small = ComputeFaceGrid(40, 24, 24);
  FitFaceGrid(small, 2, 32, area);
  EXPECT_EQ(small.cellWidth, 24);
}

// A GIF of width x height in red (fill 1) or blue (fill 2) with a white 6 x 6
// corner, pixel (1, 1) among it. A clear code after every two pixels keeps
// every code 3 bits wide, so no compression is needed.
std::string Gif(int width, int height, int fill) {
  std::string gif = "GIF89a";
  auto word = [&gif](int v) { gif += {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; };
  word(width);
  word(height);
  gif += std::string("\xF1\0\0\xFF\xFF\xFF\xFF\0\0\0\0\xFF\0\0\0,", 16);
  word(0);
  word(0);
  word(width);
  word(height);
  gif += std::string("\0\x02", 2);
  std::string data;
  unsigned bits = 0, count = 0;
  auto put = [&](unsigned code) {
    bits |= code << count;
    for (count += 3; count >= 8; count -= 8, bits >>= 8) data.push_back(static_cast<char>(bits & 0xFF));
  };
  for (long long i = 0; i < static_cast<long long>(width) * height; ++i) {
    if (i % 2 == 0) put(4);
    put(i % width < 6 && i / width < 6 ? 0 : static_cast<unsigned>(fill));
  }
  put(5);
  if (count) data.push_back(static_cast<char>(bits));
  for (size_t at = 0; at < data.size(); at += 255)
    gif += static_cast<char>(std::min<size_t>(255, data.size() - at)) + data.substr(at, 255);
  return gif + std::string("\0;", 2);
}

CString Name(const char* format, int number) {
  CString name;
  name.Format(format, number);
  return name;
}

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

class FacePickerTest : public ::testing::Test {
 protected:
  FacePickerTest()
      : m_strExe(m_folder.File("宿主.exe")),
        m_host(Seams::SetHostExePath, [this] { return m_strExe; }),
        m_workArea(Seams::SetWorkArea, [this] { return m_area; }) {}
  void Face(const CString& name, int width, int height, int fill = 1) {
    m_folder.Write("Images\\Face\\" + name, Gif(width, height, fill));
  }
  CString FacePath(const char* name) { return m_folder.File("Images\\Face\\") + name; }
  // Runs a picker; script acts inside its modal loop.
  INT_PTR Run(CFaceDialog& picker, OrbTesting::ModalAnswers::ActFn script) {
    OrbTesting::ModalAnswers modal;
    modal.Drive(std::move(script));
    const INT_PTR result = picker.DoModal();
    EXPECT_EQ(modal.TimedOut(), 0);
    return result;
  }
  static void Move(CDialog& dialog, POINT at) { dialog.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y)); }
  void ExpectInsideWorkArea(const CDialog& dialog) {
    const CRect window = dialog.GetWindowRect();
    EXPECT_TRUE(window.left >= m_area.left && window.top >= m_area.top && window.right <= m_area.right &&
                window.bottom <= m_area.bottom);
  }
  CTestFolder m_folder;
  CString m_strExe;  // the host program's path
  RECT m_area{0, 0, 1280, 1000};
  OrbTesting::ScopedSeam<Seams::ModulePathFn> m_host;
  OrbTesting::ScopedSeam<Seams::WorkAreaFn> m_workArea;
};

TEST_F(FacePickerTest, StretchedPicturesTheHoverFrameAndTheChoiceOnButtonUp) {
  Face("a01.gif", 20, 20, 1);                                          // red, narrower than the cell
  for (int i = 2; i <= 12; ++i) Face(Name("a%02d.gif", i), 24, 16, 2);  // blue, lower
  m_folder.Write("Images\\Face\\broken.gif", "not a picture");
  m_folder.Write("Images\\Face\\dir.gif\\inner.gif", "a folder is no picture");
  m_folder.Write("Images\\Face\\other.png", "png");
  CFaceDialog picker;
  COLORREF framed = 0, erased = 0;
  const INT_PTR result = Run(picker, [&](CDialog& dialog) {
    ASSERT_EQ(picker.m_nFaceCount, 13);
    ASSERT_EQ(picker.m_arrFaces.size(), 13u);
    EXPECT_TRUE(picker.m_arrFaces[12]->pImage->IsNull());  // broken.gif: kept, without a picture
    EXPECT_EQ(picker.m_nCellWidth, 24);
    EXPECT_EQ(picker.m_nCellHeight, 20);
    EXPECT_EQ(picker.m_nCols * 100 + picker.m_nRows, 1002);
    EXPECT_EQ(picker.m_nTop, 4);  // the skin's client top
    EXPECT_EQ(picker.GetClientRect().Width(), 2 * 11 + 240 + 1);
    EXPECT_EQ(picker.GetWindowRect().Width(), picker.m_nGridWidth + 1);
    dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ERASENOW);
    HDC dc = ::GetDC(dialog.m_hWnd);
    const CRect first = picker.m_arrFaces[0]->rcCell;
    EXPECT_EQ(first, CRect(2, 6, 26, 26));
    EXPECT_EQ(::GetPixel(dc, first.left + 3, first.top + 3), CFaceDialog::kCellColour);  // white corner left out
    EXPECT_EQ(::GetPixel(dc, first.right - 1, first.bottom - 1), RGB(255, 0, 0));      // stretched to the edge
    EXPECT_EQ(::GetPixel(dc, 28 + 23, 6 + 19), RGB(0, 0, 255));
    // Hover the third picture, then the fifth, then an empty cell; release there.
    Move(dialog, Centre(picker.m_arrFaces[2]->rcCell));
    Move(dialog, Centre(picker.m_arrFaces[4]->rcCell));
    framed = ::GetPixel(dc, picker.m_arrFaces[4]->rcCell.left, picker.m_arrFaces[4]->rcCell.top);
    erased = ::GetPixel(dc, picker.m_arrFaces[2]->rcCell.left, picker.m_arrFaces[2]->rcCell.top);
    ::ReleaseDC(dialog.m_hWnd, dc);
    const POINT empty = Centre(FaceCellRect(ComputeFaceGrid(13, 24, 20), 1, 8, 2, 4));
    Move(dialog, empty);
    dialog.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(empty.x, empty.y));
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(picker.m_strSelectedPath, FacePath("a05.gif"));
  EXPECT_EQ(framed, CFaceDialog::kHoverColour);
  EXPECT_EQ(erased, CFaceDialog::kCellColour);
}

TEST_F(FacePickerTest, AClickBeforeAnyHoverOrOnAnEmptyFolderClosesWithNothingChosen) {
  for (int faces : {3, 0, -1}) {  // -1: no face folder at all
    const CString folder = Name("case%d\\", faces);
    m_strExe = m_folder.File(folder + "宿主.exe");
    m_folder.Write(folder + (faces < 0 ? "readme.txt" : "Images\\Face\\readme.txt"), "");
    for (int i = 0; i < faces; ++i) m_folder.Write(folder + Name("Images\\Face\\f%d.gif", i), Gif(24, 24, 1));
    CFaceDialog picker;
    CRect window;
    const INT_PTR result = Run(picker, [&](CDialog& dialog) {
      window = dialog.GetWindowRect();
      dialog.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(picker.m_nFaceCount, faces < 0 ? 0 : faces);
    EXPECT_EQ(picker.m_strSelectedPath, "");
    EXPECT_GT(window.Width(), 150);  // at least the template's 138 dialog units
  }
}

TEST_F(FacePickerTest, NearTheCornerOfTheWorkAreaThePickerMovesInside) {
  m_area = RECT{0, 0, 640, 480};
  for (int i = 1; i <= 30; ++i) Face(Name("f%02d.gif", i), 32, 32);
  ::SetCursorPos(630, 470);
  CFaceDialog picker;
  CRect window;
  Run(picker, [&](CDialog& dialog) {
    window = dialog.GetWindowRect();
    dialog.SendMessage(WM_LBUTTONUP);
  });
  EXPECT_EQ(window.right, 640);
  EXPECT_EQ(window.bottom, 480);
}

TEST_F(FacePickerTest, FiveHundredPicturesAndAHugeOneStayInsideTheWorkArea) {
  for (int i = 0; i < 500; ++i) Face(Name("f%03d.gif", i), 16, 16, 1 + i % 2);
  Face("huge.gif", 4000, 4000);
  CFaceDialog picker;
  Run(picker, [&](CDialog& dialog) {
    EXPECT_EQ(picker.m_nCols * 100 + picker.m_nRows, 2223);
    ExpectInsideWorkArea(dialog);
    dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ERASENOW);
    const CRect last = picker.m_arrFaces[500]->rcCell;
    EXPECT_LE(last.bottom, picker.GetClientRect().bottom);
    EXPECT_LE(last.right, picker.GetClientRect().right);
    Move(dialog, Centre(last));
    dialog.SendMessage(WM_LBUTTONUP);
  });
  EXPECT_EQ(picker.m_strSelectedPath, FacePath("huge.gif"));
}

TEST_F(FacePickerTest, TheFormInsertsAnExistingChoiceAsAnImgTag) {
  Face("smile.gif", 24, 24);
  CFormFixture fixture;
  COrbChat_Form& form = *fixture.m_pForm;
  OrbTesting::ModalAnswers modal;
  auto choose = [](CString path) { return [path](CDialog& d) { dynamic_cast<CFaceDialog&>(d).m_strSelectedPath = path; }; };
  modal.Answer(IDOK, choose(FacePath("smile.gif")));
  modal.Answer(IDOK, choose(FacePath("gone.gif")));
  modal.Answer(IDCANCEL, choose(FacePath("smile.gif")));
  modal.Answer(IDOK);
  for (int i = 0; i < 4; ++i) form.SendMessage(WM_COMMAND, IDC_FORM_FACE);
  ASSERT_EQ(modal.Asked().size(), 4u);
  EXPECT_EQ(modal.Asked()[0].templateId, static_cast<UINT>(IDD_FACE_PICKER));
  EXPECT_EQ(form.GetEditor().GetPictureCount(), 1);
  EXPECT_NE(form.GetEditor().GetHtml().Find("<IMG src=\"" + FacePath("smile.gif") + "\">"), -1);
}

}  // namespace
