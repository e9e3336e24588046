#include "SkinPalette.h"
#include "CBrush.h"

#include <cctype>
#include <map>
#include <memory>


namespace {

struct NamedColour {
  const char* name;
  COLORREF colour;
};

// Own messages and borders in steel blue, other people in black, system
// messages in red; light blue dialogs around white panes.
constexpr NamedColour kColours[] = {
    {"system.border", RGB(66, 120, 180)},
    {"system.font", RGB(0, 0, 0)},
    {"system.warning", RGB(220, 0, 0)},
    {"system.background", RGB(235, 242, 250)},
    {"system.pane", RGB(255, 255, 255)},
    {"system.selected", RGB(204, 224, 247)},
    {"system.selectedborder", RGB(125, 162, 206)},
    {"system.hot", RGB(229, 239, 251)},
    {"system.disabled", RGB(150, 150, 150)},
    {"system.button", RGB(246, 249, 253)},
    {"system.buttonshade", RGB(221, 233, 247)},
    {"system.buttonpressed", RGB(196, 216, 240)},
    {"system.tab", RGB(214, 228, 245)},
    {"system.tabtext", RGB(70, 80, 95)},
    {"system.tabchecked", RGB(255, 255, 255)},
    {"system.tabcheckedtext", RGB(0, 51, 153)},
    {"system.split", RGB(214, 228, 245)},
    {"system.splitgrip", RGB(125, 162, 206)},
    {"system.glyph", RGB(58, 96, 150)},
    {"staticdeepblue", RGB(0, 51, 153)},
    {"staticblue", RGB(0, 102, 204)},
};

std::string Lower(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::map<COLORREF, CBrush>& Brushes() {
  static std::map<COLORREF, CBrush> brushes;
  return brushes;
}

}  // namespace

COLORREF SkinPalette::Color(const std::string& item, bool* known) {
  const std::string name = Lower(item);
  for (const NamedColour& entry : kColours) {
    if (name == entry.name) {
      if (known) *known = true;
      return entry.colour;
    }
  }
  if (known) *known = false;
  return kColours[1].colour;
}

HBRUSH SkinPalette::BrushOf(COLORREF colour) {
  auto& brush = Brushes()[colour];
  if (brush.IsNull()) brush.CreateSolidBrush(colour);
  return brush;
}

HBRUSH SkinPalette::Brush(const std::string& item) { return BrushOf(Color(item)); }

bool SkinPalette::LabelTextColor(const std::string& item, COLORREF* colour) {
  const std::string name = Lower(item);
  if (name != "staticdeepblue" && name != "staticblue") return false;
  *colour = Color(name);
  return true;
}
