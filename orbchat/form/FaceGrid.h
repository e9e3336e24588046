#pragma once
// Window-free numbers of the emoticon picker: the grid for a
// number of pictures, the window size it needs, the cells, and where the
// window goes so that it stays inside the work area.
#include <windows.h>

struct FaceGrid {
  int cols = 0;
  int rows = 0;
  int cellWidth = 0;
  int cellHeight = 0;
  int gridWidth = 0;   // cols x cellWidth
  int gridHeight = 0;  // rows x cellHeight
};

constexpr int kFaceMinCols = 10;

// No pictures: an empty grid. Otherwise cols = the square root of count
// rounded (adding 0.5 and truncating), at least 10; rows = count / cols + 1
// (so a full last row is followed by an empty one: 20 pictures give 10 x 3).
FaceGrid ComputeFaceGrid(int count, int cellWidth, int cellHeight);

// The window size the grid needs: gap x (cols + 1) + gridWidth by
// gap x (rows + 1) + top + gridHeight, each at least minimum's.
SIZE FaceWindowSize(const FaceGrid& grid, int gap, int top, SIZE minimum);

// Cells too large for the work area (a 4,000 x 4,000 picture, thousands of
// pictures) are made smaller, keeping their proportions, so that the size
// above plus one pixel fits into area; never below 1 x 1.
void FitFaceGrid(FaceGrid& grid, int gap, int top, const RECT& area);

// The cell of row r, column c, as the picker paints it.
RECT FaceCellRect(const FaceGrid& grid, int row, int col, int gap, int top);

// Where a window of size (width and height one more than size, as the
// picker is moved) opens for the cursor at cursor: at the cursor, moved left
// or up when it would pass the work area's right or bottom edge (to the edge
// less the size and one pixel, so it ends at the edge), never left of or
// above the work area.
POINT PlaceFaceWindow(POINT cursor, SIZE size, const RECT& area);
