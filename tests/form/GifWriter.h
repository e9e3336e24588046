#pragma once
// Small GIF files for the emoticon picker's tests: a picture of up to four
// colours, written without compression tricks (a clear code after every two
// pixels keeps every code 3 bits wide), which every decoder reads.
#include <windows.h>

#include <functional>
#include <string>

// pixel(x, y) gives an index into palette (0 to 3).
std::string MakeGif(int width, int height, const COLORREF (&palette)[4], const std::function<int(int, int)>& pixel);
