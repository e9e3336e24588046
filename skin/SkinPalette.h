#pragma once
// The skin's colours by item name, and one shared solid brush per colour.
#include <windows.h>

#include <string>

class SkinPalette {
 public:
  // Colour of a named item (case does not matter); unknown names give the
  // "system.font" colour. *known, when given, tells whether the name is known.
  static COLORREF Color(const std::string& item, bool* known = nullptr);
  // A solid brush of that colour, owned by the palette (do not delete it).
  static HBRUSH Brush(const std::string& item);
  static HBRUSH BrushOf(COLORREF colour);
  // The text colour a label item asks for ("staticdeepblue", "staticblue"),
  // false for items without one.
  static bool LabelTextColor(const std::string& item, COLORREF* colour);
};
