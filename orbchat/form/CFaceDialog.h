#pragma once
// The emoticon picker (template 22005): a small modal window at the
// mouse position showing every GIF picture of the folder Images\Face\ beside
// the host program as a grid of cells. Hovering frames a picture; releasing
// the left button anywhere closes the picker with OK, and m_strSelectedPath
// then names the picture last hovered (empty when none was).
#include <windows.h>

#include <memory>
#include <vector>

#include "CDialog.h"
#include "CImage.h"
#include "CRect.h"
#include "CString.h"
#include "form/FaceGrid.h"

// One picture of the picker.
struct tag_FaceData {
  CRect rcCell;                     // client coordinates, set when the grid is painted
  std::unique_ptr<CImage> pImage;   // empty (size 0) when the file could not be decoded
  CString strPath;                  // full path of the picture file
};

class CFaceDialog : public CDialog {
 public:
  static constexpr COLORREF kCellColour = RGB(0xF0, 0xF0, 0xF0);
  static constexpr COLORREF kHoverColour = 0xB48080;  // red 128, green 128, blue 180
  static constexpr int kSkinDialog = 0x64;

  explicit CFaceDialog(CWnd* parent = nullptr);
  ~CFaceDialog() override;

  // The folder of the pictures: the host program's folder + "Images\Face\".
  static CString FaceFolder();
  // The names of the folder's "*.gif" files (no folders), sorted without
  // regard to case, as the platform gives no order of its own.
  static std::vector<CString> ListFaceFiles(const char* folder);

  BOOL OnInitDialog() override;

  // Members in declaration order.
  CString m_strSelectedPath;
  std::vector<std::unique_ptr<tag_FaceData>> m_arrFaces;
  CString m_strFaceDir;
  int m_nFaceCount = 0;
  int m_nRows = 0;
  int m_nCols = 0;
  int m_nGridWidth = 0;
  int m_nGridHeight = 0;
  int m_nCellHeight = 0;
  int m_nCellWidth = 0;
  int m_nGap = 2;
  int m_nTop = 32;
  int m_nHover = -1;

  // Run by the window's messages; public for tests.
  BOOL OnEraseBkgnd(CDC* dc);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);

 protected:
  DECLARE_MESSAGE_MAP()

 private:
  void LoadFaces();
  FaceGrid Grid() const;
  // Frames a picture's cell with a 1-pixel pen of colour, without filling it.
  void FrameCell(int index, COLORREF colour);
};
