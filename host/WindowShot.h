#pragma once
// Saves what the screen shows of a window as a picture file (the format
// follows the extension, ".png" for example).
#include <windows.h>

#include "CString.h"

struct WindowShotResult {
  bool saved = false;
  int width = 0;
  int height = 0;
  int colours = 0;  // distinct colours seen, up to 256: a blank capture has one or two
  CString error;
};

WindowShotResult SaveWindowShot(HWND window, const CString& path);
