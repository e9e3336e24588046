#include "SkinPainter.h"
#include "CPen.h"
#include "CSelectObjectGuard.h"

#include <algorithm>
#include <cctype>

#include "SkinIcons.h"
#include "SkinPalette.h"

namespace {

COLORREF Colour(const char* item) { return SkinPalette::Color(item); }

void Fill(HDC dc, const RECT& rc, COLORREF colour) { FillRect(dc, &rc, SkinPalette::BrushOf(colour)); }

// A rectangle with rounded corners, filled and outlined.
void Rounded(HDC dc, const RECT& rc, int radius, COLORREF fill, COLORREF edge, int edgeWidth = 1) {
  CPen pen(PS_SOLID, edgeWidth, edge);
  CSelectObjectGuard p(dc, pen.GetSafeHandle());
  CSelectObjectGuard b(dc, SkinPalette::BrushOf(fill));
  RoundRect(dc, rc.left, rc.top, rc.right, rc.bottom, radius, radius);
}

void Text(HDC dc, RECT rc, const std::string& text, COLORREF colour, UINT format) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rc, format | DT_NOPREFIX);
}

// The largest square centred in rc, less a margin.
RECT CentredSquare(const RECT& rc, int margin) {
  int side = std::max(6, std::min<int>(rc.right - rc.left, rc.bottom - rc.top) - 2 * margin);
  int left = (rc.left + rc.right - side) / 2;
  int top = (rc.top + rc.bottom - side) / 2;
  return {left, top, left + side, top + side};
}

std::string Lower(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::string SkinPainter::TabLabel(const std::string& item, const std::string& text) {
  if (!text.empty()) return text;
  const std::string name = Lower(item);
  if (name == "tabobject") return "联系人";
  if (name == "tabgroup") return "讨论组";
  if (name == "tabcommunity") return "群社区";
  return item;
}

bool SkinPainter::IsGlyphItem(const std::string& item) {
  const std::string name = Lower(item);
  return name == "btnface" || name == "btnimage" || name == "btnscrcap" || name == "dropdownbutton";
}

void SkinPainter::Tab(HDC dc, const RECT& rc, const std::string& label, const ButtonLook& look, COLORREF parentBk) {
  Fill(dc, rc, parentBk);
  RECT shape = rc;
  if (!look.checked) shape.top += 2;  // the chosen tab stands a little higher
  COLORREF fill = look.checked ? Colour("system.tabchecked") : look.hot ? Colour("system.hot") : Colour("system.tab");
  // Round the top corners only: the bottom ones fall below the rectangle.
  Rounded(dc, {shape.left, shape.top, shape.right, shape.bottom + 8}, 8, fill, Colour("system.border"));
  if (!look.checked) {
    RECT base{rc.left, rc.bottom - 1, rc.right, rc.bottom};
    Fill(dc, base, Colour("system.border"));
  }
  COLORREF ink = !look.enabled  ? Colour("system.disabled")
                 : look.checked ? Colour("system.tabcheckedtext")
                                : Colour("system.tabtext");
  RECT textRect = shape;
  if (look.pressed) OffsetRect(&textRect, 1, 1);
  Text(dc, textRect, label, ink, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS);
}

void SkinPainter::Button(HDC dc, const RECT& rc, const std::string& text, const std::string& item,
                         const ButtonLook& look, COLORREF parentBk) {
  Fill(dc, rc, parentBk);
  COLORREF fill = look.pressed || look.checked ? Colour("system.buttonpressed")
                  : look.hot                   ? Colour("system.hot")
                                               : Colour("system.button");
  COLORREF edge = look.enabled ? Colour("system.border") : Colour("system.disabled");
  Rounded(dc, rc, 5, fill, edge, look.isDefault ? 2 : 1);
  if (!look.pressed && !look.checked) {  // a soft lower half
    RECT shade{rc.left + 2, (rc.top + rc.bottom) / 2, rc.right - 2, rc.bottom - 2};
    if (shade.bottom > shade.top) Fill(dc, shade, look.hot ? Colour("system.hot") : Colour("system.buttonshade"));
  }
  RECT content = rc;
  if (look.pressed) OffsetRect(&content, 1, 1);
  if (IsGlyphItem(item)) {
    Glyph(dc, content, item, look.enabled);
    return;
  }
  Text(dc, content, text, look.enabled ? Colour("system.font") : Colour("system.disabled"),
       DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS);
  if (look.focused) {
    RECT focus = rc;
    InflateRect(&focus, -3, -3);
    if (focus.right > focus.left && focus.bottom > focus.top) DrawFocusRect(dc, &focus);
  }
}

void SkinPainter::Splitter(HDC dc, const RECT& rc, bool vertical) {
  Fill(dc, rc, Colour("system.split"));
  // Three grip dots across the middle.
  int cx = (rc.left + rc.right) / 2;
  int cy = (rc.top + rc.bottom) / 2;
  for (int i = -1; i <= 1; ++i) {
    int x = vertical ? cx : cx + i * 4;
    int y = vertical ? cy + i * 4 : cy;
    RECT dot{x - 1, y - 1, x + 1, y + 1};
    Fill(dc, dot, Colour("system.splitgrip"));
  }
}

void SkinPainter::Pane(HDC dc, const RECT& rc, const std::string& text) {
  Rounded(dc, rc, 0, Colour("system.pane"), Colour("system.selectedborder"));
  if (text.empty()) return;
  RECT inner = rc;
  InflateRect(&inner, -3, -2);
  Text(dc, inner, text, Colour("system.font"), DT_LEFT | DT_TOP | DT_WORDBREAK);
}

void SkinPainter::Entry(HDC dc, const RECT& rc, const std::string& icon, const std::string& text, bool selected,
                        bool focused, bool framed) {
  if (selected && !framed) {
    Fill(dc, rc, Colour("system.selected"));
  } else if (selected) {
    Rounded(dc, rc, 0, Colour("system.selected"), Colour("system.selectedborder"));
  } else {
    Fill(dc, rc, Colour("system.pane"));
  }
  int x = rc.left + 3;
  if (HICON image = SkinIcons::Shared(icon)) {
    int side = std::min<int>(SkinIcons::SizeOf(icon), rc.bottom - rc.top - 2);
    if (side > 0) {
      DrawIconEx(dc, x, (rc.top + rc.bottom - side) / 2, image, side, side, 0, nullptr, DI_NORMAL);
      x += side + 4;
    }
  }
  RECT textRect{x, rc.top, rc.right - 2, rc.bottom};
  Text(dc, textRect, text, Colour("system.font"), DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
  if (focused) {
    RECT focus = rc;
    DrawFocusRect(dc, &focus);
  }
}

void SkinPainter::Glyph(HDC dc, const RECT& rc, const std::string& item, bool enabled) {
  const std::string name = Lower(item);
  if (name == "dropdownbutton") {
    DownArrow(dc, CentredSquare(rc, 2), enabled ? Colour("system.glyph") : Colour("system.disabled"));
  } else if (name == "btnface") {
    Smiley(dc, CentredSquare(rc, 3));
  } else if (name == "btnimage") {
    Picture(dc, CentredSquare(rc, 3));
  } else {
    Camera(dc, CentredSquare(rc, 3));
  }
}

void SkinPainter::Smiley(HDC dc, const RECT& box) {
  Rounded(dc, box, box.right - box.left, RGB(255, 214, 64), RGB(170, 120, 20));
  int w = box.right - box.left;
  int eye = std::max(1, w / 8);
  RECT left{box.left + w * 3 / 10, box.top + w * 3 / 10, box.left + w * 3 / 10 + eye, box.top + w * 3 / 10 + eye};
  RECT right{box.right - w * 3 / 10 - eye, left.top, box.right - w * 3 / 10, left.bottom};
  Fill(dc, left, RGB(90, 60, 10));
  Fill(dc, right, RGB(90, 60, 10));
  CPen pen(PS_SOLID, 1, RGB(90, 60, 10));
  CSelectObjectGuard p(dc, pen.GetSafeHandle());
  Arc(dc, box.left + w / 4, box.top + w / 4, box.right - w / 4, box.bottom - w / 5, box.left, box.top + w * 3 / 5,
      box.right, box.top + w * 3 / 5);
}

void SkinPainter::Picture(HDC dc, const RECT& box) {
  int w = box.right - box.left;
  RECT frame{box.left, box.top + w / 8, box.right, box.bottom - w / 8};
  Rounded(dc, frame, 0, RGB(200, 225, 250), Colour("system.glyph"));
  CPen pen(PS_SOLID, 1, RGB(60, 140, 60));
  CSelectObjectGuard p(dc, pen.GetSafeHandle());
  CSelectObjectGuard b(dc, SkinPalette::BrushOf(RGB(90, 170, 80)));
  POINT hill[] = {{frame.left + 1, frame.bottom - 1},
                  {frame.left + w * 2 / 5, frame.top + w / 4},
                  {frame.right - 1, frame.bottom - 1}};
  Polygon(dc, hill, 3);
  RECT sun{frame.right - w / 3, frame.top + 2, frame.right - w / 3 + std::max(2, w / 6), frame.top + 2 + std::max(2, w / 6)};
  Fill(dc, sun, RGB(240, 170, 30));
}

void SkinPainter::Camera(HDC dc, const RECT& box) {
  int w = box.right - box.left;
  RECT body{box.left, box.top + w / 4, box.right, box.bottom - w / 8};
  Rounded(dc, body, 3, RGB(120, 140, 170), RGB(60, 75, 100));
  RECT top{box.left + w / 3, box.top + w / 8, box.right - w / 3, body.top + 1};
  Fill(dc, top, RGB(60, 75, 100));
  int lens = std::max(3, w * 2 / 5);
  int cx = (box.left + box.right) / 2;
  int cy = (body.top + body.bottom) / 2;
  RECT lensRect{cx - lens / 2, cy - lens / 2, cx - lens / 2 + lens, cy - lens / 2 + lens};
  Rounded(dc, lensRect, lens, RGB(220, 235, 250), RGB(40, 50, 70));
}

void SkinPainter::DownArrow(HDC dc, const RECT& box, COLORREF colour) {
  int w = box.right - box.left;
  int half = std::max(2, w / 3);
  int cx = (box.left + box.right) / 2;
  int cy = (box.top + box.bottom) / 2;
  POINT arrow[] = {{cx - half, cy - half / 2}, {cx + half, cy - half / 2}, {cx, cy + half / 2 + 1}};
  CPen pen(PS_SOLID, 1, colour);
  CSelectObjectGuard p(dc, pen.GetSafeHandle());
  CSelectObjectGuard b(dc, SkinPalette::BrushOf(colour));
  Polygon(dc, arrow, 3);
}
