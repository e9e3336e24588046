#pragma once
// Drawing of the skin's parts into a device context whose font is already
// selected: tabs, push buttons with their glyphs, splitters, white panes and
// list entries with an icon and a text.
#include <windows.h>

#include <string>

class SkinPainter {
 public:
  struct ButtonLook {
    bool pressed = false;
    bool checked = false;
    bool hot = false;
    bool focused = false;
    bool enabled = true;
    bool isDefault = false;
  };

  // The text a tab shows: its own text, else the label its item stands for.
  static std::string TabLabel(const std::string& item, const std::string& text);
  // Whether a button item is drawn as a glyph instead of its text.
  static bool IsGlyphItem(const std::string& item);

  static void Tab(HDC dc, const RECT& rc, const std::string& label, const ButtonLook& look, COLORREF parentBk);
  static void Button(HDC dc, const RECT& rc, const std::string& text, const std::string& item, const ButtonLook& look,
                     COLORREF parentBk);
  static void Splitter(HDC dc, const RECT& rc, bool vertical);
  static void Pane(HDC dc, const RECT& rc, const std::string& text);
  // A list entry or cell; a selected list box entry is framed, a selected
  // report cell only filled, so that a row reads as one band.
  static void Entry(HDC dc, const RECT& rc, const std::string& icon, const std::string& text, bool selected,
                    bool focused, bool framed = true);

 private:
  static void Glyph(HDC dc, const RECT& rc, const std::string& item, bool enabled);
  static void Smiley(HDC dc, const RECT& box);
  static void Picture(HDC dc, const RECT& box);
  static void Camera(HDC dc, const RECT& box);
  static void DownArrow(HDC dc, const RECT& box, COLORREF colour);
};
