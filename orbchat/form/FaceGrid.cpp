#include "form/FaceGrid.h"

#include <algorithm>
#include <cmath>

FaceGrid ComputeFaceGrid(int count, int cellWidth, int cellHeight) {
  FaceGrid grid;
  grid.cellWidth = cellWidth;
  grid.cellHeight = cellHeight;
  if (count <= 0) return grid;
  grid.cols = std::max(kFaceMinCols, static_cast<int>(std::sqrt(static_cast<double>(count)) + 0.5));
  grid.rows = count / grid.cols + 1;
  grid.gridWidth = grid.cols * cellWidth;
  grid.gridHeight = grid.rows * cellHeight;
  return grid;
}

SIZE FaceWindowSize(const FaceGrid& grid, int gap, int top, SIZE minimum) {
  const long width = gap * (grid.cols + 1) + grid.gridWidth;
  const long height = gap * (grid.rows + 1) + top + grid.gridHeight;
  return SIZE{std::max(width, minimum.cx), std::max(height, minimum.cy)};
}

void FitFaceGrid(FaceGrid& grid, int gap, int top, const RECT& area) {
  if (grid.cols <= 0 || grid.rows <= 0 || grid.cellWidth <= 0 || grid.cellHeight <= 0) return;
  // Room for the cells: the work area less the gaps, the top and the extra pixel.
  const double roomWidth = (area.right - area.left) - 1 - gap * (grid.cols + 1);
  const double roomHeight = (area.bottom - area.top) - 1 - gap * (grid.rows + 1) - top;
  const double scale = std::min({1.0, roomWidth / (static_cast<double>(grid.cols) * grid.cellWidth),
                                 roomHeight / (static_cast<double>(grid.rows) * grid.cellHeight)});
  if (scale >= 1.0) return;
  grid.cellWidth = std::max(1, static_cast<int>(grid.cellWidth * scale));
  grid.cellHeight = std::max(1, static_cast<int>(grid.cellHeight * scale));
  grid.gridWidth = grid.cols * grid.cellWidth;
  grid.gridHeight = grid.rows * grid.cellHeight;
}

RECT FaceCellRect(const FaceGrid& grid, int row, int col, int gap, int top) {
  const int left = col * grid.cellWidth + gap * (col + 1);
  const int cellTop = row * grid.cellHeight + gap * (row + 1) + top;
  return RECT{left, cellTop, left + grid.cellWidth, cellTop + grid.cellHeight};
}

POINT PlaceFaceWindow(POINT cursor, SIZE size, const RECT& area) {
  POINT place = cursor;
  // The window is one pixel wider and higher than size; right and bottom are
  // outside the work area, as SPI_GETWORKAREA gives them.
  if (place.x + size.cx + 1 > area.right) place.x = area.right - size.cx - 1;
  if (place.y + size.cy + 1 > area.bottom) place.y = area.bottom - size.cy - 1;
  place.x = std::max(place.x, area.left);
  place.y = std::max(place.y, area.top);
  return place;
}
