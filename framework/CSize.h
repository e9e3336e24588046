#pragma once
// A SIZE with constructors and comparison.
#include <windows.h>

class CSize : public SIZE {
 public:
  CSize() : SIZE{0, 0} {}
  CSize(int width, int height) : SIZE{width, height} {}
  CSize(SIZE s) : SIZE(s) {}  // NOLINT: implicit like the Win32 type
  bool operator==(const SIZE& o) const { return cx == o.cx && cy == o.cy; }
  bool operator!=(const SIZE& o) const { return !(*this == o); }
};
