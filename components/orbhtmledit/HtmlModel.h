#pragma once
// The document as the control understands it, between HTML and RichEdit: a
// list of text runs (each with one character format), pictures and paragraph
// ends. UTF-16 throughout. No window, no file access.
#include <windows.h>

#include <string>
#include <vector>

namespace HtmlModel {

// One character format. Unset values mean "the control's default": an empty
// face, size 0, no colour (the automatic text colour) and no background.
struct Format {
  std::wstring face;
  int twips = 0;  // font height in twips (1/20 pt); 0: default
  bool hasColor = false;
  COLORREF color = 0;
  bool hasBack = false;
  COLORREF back = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;

  bool operator==(const Format& other) const = default;
};

struct Item {
  enum class Kind { Text, Picture, Break };
  Kind kind = Kind::Text;
  std::wstring text;   // Text: the characters (no CR or LF); Picture: its source as written
  Format format;       // Text only
  bool embed = false;  // Picture only: it came in as EMBED
  long record = -1;    // Picture only, read from the control: its record there
};

struct Document {
  std::vector<Item> items;
  // The format of what is typed next when the document has no content: the
  // last formatting element opened before any content (MakePageHtml's
  // unclosed FONT).
  bool hasTypingFormat = false;
  Format typingFormat;

  bool HasContent() const { return !items.empty(); }
};

// The control's default character format: 9 points in 宋体 (SimSun), the
// automatic colours. A run in this format needs no FONT tag.
constexpr int kDefaultTwips = 180;
inline const wchar_t* DefaultFace() { return L"\u5B8B\u4F53"; }

// HTML font sizes 1 to 7 as twips: 8, 10, 12, 14, 18, 24 and 36 points.
int HtmlSizeToTwips(int size);
// The HTML size (1 to 7) nearest to a height in twips.
int TwipsToHtmlSize(int twips);

}  // namespace HtmlModel
