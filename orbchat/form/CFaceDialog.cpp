#include "form/CFaceDialog.h"

#include <algorithm>

#include "CClientDC.h"
#include "CodePage.h"
#include "CPen.h"
#include "CBrush.h"
#include "CSelectObjectGuard.h"
#include "OrbSkin.h"
#include "Seams.h"
#include "chat/ModuleHandle.h"
#include "resources/resource.h"
#include "support/FileUtils.h"

BEGIN_MESSAGE_MAP(CFaceDialog, CDialog)
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

CFaceDialog::CFaceDialog(CWnd* parent) : CDialog(OrbChatModuleHandle(), IDD_FACE_PICKER, parent) {}

CFaceDialog::~CFaceDialog() = default;

CString CFaceDialog::FaceFolder() {
  const CString exe = Seams::GetHostExePath();
  const int slash = exe.ReverseFind('\\');
  return exe.Left(slash + 1) + "Images\\Face\\";
}

std::vector<CString> CFaceDialog::ListFaceFiles(const char* folder) {
  std::vector<CString> names;
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(ToWidePath(CString(folder) + "*.gif").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::wstring wide(found.cFileName);
    if (wide == L"." || wide == L"..") continue;
    // A name code page 936 cannot hold could not be opened by its path.
    const CString name = CodePage::WideToAnsi(wide.c_str());
    if (CodePage::AnsiToWide(name) != wide) continue;
    names.push_back(name);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  std::sort(names.begin(), names.end(), [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
  return names;
}

void CFaceDialog::LoadFaces() {
  m_strFaceDir = FaceFolder();
  const std::vector<CString> names = ListFaceFiles(m_strFaceDir);
  m_nFaceCount = static_cast<int>(names.size());
  for (const CString& name : names) {
    const CString path = m_strFaceDir + name;
    if (!FileExists(path)) continue;
    auto face = std::make_unique<tag_FaceData>();
    face->strPath = path;
    face->pImage = std::make_unique<CImage>();
    face->pImage->Load(path);  // a picture that does not decode stays empty, of size 0
    m_nCellHeight = std::max(m_nCellHeight, face->pImage->GetHeight());
    m_nCellWidth = std::max(m_nCellWidth, face->pImage->GetWidth());
    m_arrFaces.push_back(std::move(face));
  }
}

FaceGrid CFaceDialog::Grid() const {
  FaceGrid grid;
  grid.cols = m_nCols;
  grid.rows = m_nRows;
  grid.cellWidth = m_nCellWidth;
  grid.cellHeight = m_nCellHeight;
  return grid;
}

// The grid numbers come from FaceGrid; the window is sized so that its
// client area holds the grid below the skin's client top (the skin keeps the
// platform's caption and frame outside the client area), and its cells are
// made smaller when the whole would not fit into the work area.
BOOL CFaceDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  LoadFaces();
  SetForegroundWindow();
  dsSkinWindow(m_hWnd, kSkinDialog, nullptr, 1);
  dsSetSelfPaint(m_hWnd, 1);
  RECT skinClient{};
  dsGetClientRect(m_hWnd, &skinClient);
  m_nTop = skinClient.top;

  const CRect window = GetWindowRect();
  const CRect client = GetClientRect();
  const SIZE frame{window.Width() - client.Width(), window.Height() - client.Height()};
  RECT area = Seams::GetWorkArea();
  RECT room = area;  // what the client area may take of the work area
  room.right -= frame.cx;
  room.bottom -= frame.cy;
  FaceGrid grid = ComputeFaceGrid(m_nFaceCount, m_nCellWidth, m_nCellHeight);
  FitFaceGrid(grid, m_nGap, m_nTop, room);
  m_nCols = grid.cols;
  m_nRows = grid.rows;
  m_nCellWidth = grid.cellWidth;
  m_nCellHeight = grid.cellHeight;
  m_nGridWidth = grid.gridWidth;
  m_nGridHeight = grid.gridHeight;

  const SIZE inside = FaceWindowSize(grid, m_nGap, m_nTop, SIZE{client.Width(), client.Height()});
  const SIZE size{inside.cx + frame.cx, inside.cy + frame.cy};
  m_nGridWidth = size.cx;
  m_nGridHeight = size.cy;
  POINT cursor{};
  ::GetCursorPos(&cursor);
  const POINT place = PlaceFaceWindow(cursor, size, area);
  MoveWindow(place.x, place.y, size.cx + 1, size.cy + 1, TRUE);
  dsInvalidateRect(m_hWnd, nullptr, 1);
  return TRUE;
}

BOOL CFaceDialog::OnEraseBkgnd(CDC* dc) {
  // Outside the grid (a picker of its template size) the dialog's own colour.
  dc->FillSolidRect(GetClientRect(), dsGetColor("system.background"));
  CBrush brush(kCellColour);
  CPen pen(PS_SOLID, m_nGap, RGB(255, 255, 255));
  const HGDIOBJ oldBrush = dc->SelectObject(brush);
  const HGDIOBJ oldPen = dc->SelectObject(pen);
  dc->SetBkMode(TRANSPARENT);
  const FaceGrid grid = Grid();
  const int faces = std::min(m_nFaceCount, static_cast<int>(m_arrFaces.size()));
  for (int row = 0; row < m_nRows; ++row) {
    for (int col = 0; col < m_nCols; ++col) {
      const RECT cell = FaceCellRect(grid, row, col, m_nGap, m_nTop);
      dc->Rectangle(cell.left, cell.top, cell.right + 1, cell.bottom + 1);
      const int index = row * m_nCols + col;
      if (index >= faces) continue;
      tag_FaceData& face = *m_arrFaces[static_cast<size_t>(index)];
      face.rcCell = cell;
      const CImage& image = *face.pImage;
      if (image.IsNull()) continue;
      const COLORREF transparent = image.GetPixel(1, 1);
      if (transparent == CLR_INVALID) image.Draw(*dc, cell);
      else image.TransparentBlt(*dc, cell, transparent);
    }
  }
  dc->SelectObject(oldPen);
  dc->SelectObject(oldBrush);
  return TRUE;
}

void CFaceDialog::FrameCell(int index, COLORREF colour) {
  CClientDC dc(this);
  CPen pen(PS_SOLID, 1, colour);
  const HGDIOBJ oldPen = dc.SelectObject(pen);
  const HGDIOBJ oldBrush = dc.SelectStockObject(NULL_BRUSH);
  dc.Rectangle(m_arrFaces[static_cast<size_t>(index)]->rcCell);
  dc.SelectObject(oldBrush);
  dc.SelectObject(oldPen);
}

void CFaceDialog::OnMouseMove(UINT, CPoint point) {
  const int faces = std::min(m_nFaceCount, static_cast<int>(m_arrFaces.size()));
  for (int i = 0; i < faces; ++i) {
    if (!m_arrFaces[static_cast<size_t>(i)]->rcCell.PtInRect(point)) continue;
    if (i == m_nHover) return;
    if (m_nHover >= 0 && m_nHover < faces) FrameCell(m_nHover, kCellColour);
    m_nHover = i;
    FrameCell(m_nHover, kHoverColour);
    return;
  }
}

void CFaceDialog::OnLButtonUp(UINT, CPoint) {
  const int faces = std::min(m_nFaceCount, static_cast<int>(m_arrFaces.size()));
  if (m_nHover >= 0 && m_nHover < faces) m_strSelectedPath = m_arrFaces[static_cast<size_t>(m_nHover)]->strPath;
  EndDialog(IDOK);
}
