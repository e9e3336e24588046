#include "HtmlReader.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>

#include <algorithm>
#include <cwctype>
#include <mutex>
#include <string_view>
#include <vector>

#include "CodePage.h"

namespace HtmlReader {

namespace {

using HtmlModel::Document;
using HtmlModel::Format;
using HtmlModel::Item;

// Smallest and largest font heights accepted from markup, in twips (4 and 72
// points), so that hostile content cannot make the view unusable.
constexpr int kMinTwips = 80;
constexpr int kMaxTwips = 1440;
using HtmlModel::kDefaultTwips;

std::wstring Wide(const xmlChar* utf8) {
  if (!utf8) return std::wstring();
  return CodePage::Utf8ToWide(reinterpret_cast<const char*>(utf8));
}

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

std::wstring Trim(const std::wstring& text) {
  const auto isBlank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f'; };
  std::size_t first = 0, last = text.size();
  while (first < last && isBlank(text[first])) ++first;
  while (last > first && isBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::wstring Attribute(xmlNode* element, const char* name) {
  xmlChar* value = xmlGetProp(element, reinterpret_cast<const xmlChar*>(name));
  if (!value) return std::wstring();
  std::wstring result = Wide(value);
  xmlFree(value);
  return result;
}

bool HasAttribute(xmlNode* element, const char* name) {
  return xmlHasProp(element, reinterpret_cast<const xmlChar*>(name)) != nullptr;
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

struct NamedColour {
  const wchar_t* name;
  COLORREF colour;
};
// The sixteen HTML 4 colours and a few common CSS names.
constexpr NamedColour kNamedColours[] = {
    {L"black", RGB(0, 0, 0)},          {L"silver", RGB(192, 192, 192)}, {L"gray", RGB(128, 128, 128)},
    {L"grey", RGB(128, 128, 128)},     {L"white", RGB(255, 255, 255)},  {L"maroon", RGB(128, 0, 0)},
    {L"red", RGB(255, 0, 0)},          {L"purple", RGB(128, 0, 128)},   {L"fuchsia", RGB(255, 0, 255)},
    {L"magenta", RGB(255, 0, 255)},    {L"green", RGB(0, 128, 0)},      {L"lime", RGB(0, 255, 0)},
    {L"olive", RGB(128, 128, 0)},      {L"yellow", RGB(255, 255, 0)},   {L"navy", RGB(0, 0, 128)},
    {L"blue", RGB(0, 0, 255)},         {L"teal", RGB(0, 128, 128)},     {L"aqua", RGB(0, 255, 255)},
    {L"cyan", RGB(0, 255, 255)},       {L"orange", RGB(255, 165, 0)},   {L"brown", RGB(165, 42, 42)},
    {L"pink", RGB(255, 192, 203)},     {L"gold", RGB(255, 215, 0)},     {L"darkred", RGB(139, 0, 0)},
    {L"darkblue", RGB(0, 0, 139)},     {L"darkgreen", RGB(0, 100, 0)},  {L"lightgrey", RGB(211, 211, 211)},
    {L"lightgray", RGB(211, 211, 211)}, {L"violet", RGB(238, 130, 238)},
};

// One rgb() component: 0 to 255, or a percentage.
bool ParseRgbComponent(std::wstring part, int& value) {
  part = Trim(part);
  if (part.empty()) return false;
  const bool percent = part.back() == L'%';
  if (percent) part.pop_back();
  if (part.empty() || part.size() > 6) return false;
  int number = 0;
  for (wchar_t c : part) {
    if (c < L'0' || c > L'9') return false;
    number = number * 10 + (c - L'0');
  }
  if (percent) number = number * 255 / 100;
  value = std::min(number, 255);
  return true;
}

// The first family of a font-family list or face attribute, without quotes.
std::wstring FirstFamily(const std::wstring& list) {
  std::wstring first = Trim(list.substr(0, list.find(L',')));
  if (first.size() >= 2 && (first.front() == L'"' || first.front() == L'\'') && first.back() == first.front())
    first = Trim(first.substr(1, first.size() - 2));
  if (first.size() > LF_FACESIZE - 1) first.resize(LF_FACESIZE - 1);
  for (wchar_t c : first)
    if (c < 0x20 || c == L'"' || c == L'<' || c == L'>') return std::wstring();
  return first;
}

// A number with an optional fraction, as tenths; false when it is none.
bool ParseTenths(const std::wstring& text, std::size_t& pos, long& tenths) {
  long whole = 0;
  bool any = false;
  while (pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9') {
    if (whole < 100000) whole = whole * 10 + (text[pos] - L'0');
    ++pos;
    any = true;
  }
  long fraction = 0;
  if (pos < text.size() && text[pos] == L'.') {
    ++pos;
    if (pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9') {
      fraction = text[pos] - L'0';
      any = true;
    }
    while (pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9') ++pos;
  }
  tenths = whole * 10 + fraction;
  return any;
}

int ClampTwips(long twips) {
  return static_cast<int>(std::clamp<long>(twips, kMinTwips, kMaxTwips));
}

// CSS font-size into twips relative to the current height; 0 when unknown.
int CssFontSize(const std::wstring& value, int currentTwips) {
  static const wchar_t* const kKeywords[] = {L"xx-small", L"x-small", L"small", L"medium",
                                             L"large", L"x-large", L"xx-large"};
  for (int i = 0; i < 7; ++i)
    if (value == kKeywords[i]) return HtmlModel::HtmlSizeToTwips(i + 1);
  const int current = currentTwips ? currentTwips : kDefaultTwips;
  if (value == L"smaller") return ClampTwips(current * 5 / 6);
  if (value == L"larger") return ClampTwips(current * 6 / 5);
  std::size_t pos = 0;
  long tenths = 0;
  if (!ParseTenths(value, pos, tenths)) return 0;
  const std::wstring unit = Trim(value.substr(pos));
  if (unit == L"pt") return ClampTwips(tenths * 2);
  if (unit == L"px" || unit.empty()) return ClampTwips(tenths * 3 / 2);
  if (unit == L"em") return ClampTwips(current * tenths / 10);
  if (unit == L"%") return ClampTwips(current * tenths / 1000);
  return 0;
}

// The style attribute's declarations applied to a format.
void ApplyStyle(const std::wstring& style, Format& format) {
  std::size_t start = 0;
  while (start < style.size()) {
    std::size_t end = style.find(L';', start);
    if (end == std::wstring::npos) end = style.size();
    const std::wstring declaration = style.substr(start, end - start);
    start = end + 1;
    const std::size_t colon = declaration.find(L':');
    if (colon == std::wstring::npos) continue;
    const std::wstring name = Lower(Trim(declaration.substr(0, colon)));
    std::wstring value = Trim(declaration.substr(colon + 1));
    const std::size_t important = Lower(value).find(L"!important");
    if (important != std::wstring::npos) value = Trim(value.substr(0, important));
    const std::wstring lower = Lower(value);
    COLORREF colour = 0;
    if (name == L"color") {
      if (ParseColour(value, colour)) format.hasColor = true, format.color = colour;
    } else if (name == L"background-color") {
      if (ParseColour(value, colour)) format.hasBack = true, format.back = colour;
    } else if (name == L"background") {
      // The first token that is a colour.
      std::size_t pos = 0;
      while (pos < value.size()) {
        std::size_t next = value.find(L' ', pos);
        if (next == std::wstring::npos) next = value.size();
        if (ParseColour(value.substr(pos, next - pos), colour)) {
          format.hasBack = true, format.back = colour;
          break;
        }
        pos = next + 1;
      }
    } else if (name == L"font-family") {
      const std::wstring face = FirstFamily(value);
      if (!face.empty()) format.face = face;
    } else if (name == L"font-size") {
      if (const int twips = CssFontSize(lower, format.twips)) format.twips = twips;
    } else if (name == L"font-weight") {
      if (lower == L"bold" || lower == L"bolder" || lower == L"600" || lower == L"700" || lower == L"800" ||
          lower == L"900")
        format.bold = true;
      else if (lower == L"normal" || lower == L"lighter" || lower == L"400" || lower == L"300")
        format.bold = false;
    } else if (name == L"font-style") {
      if (lower == L"italic" || lower == L"oblique")
        format.italic = true;
      else if (lower == L"normal")
        format.italic = false;
    } else if (name == L"text-decoration" || name == L"text-decoration-line") {
      if (lower.find(L"underline") != std::wstring::npos)
        format.underline = true;
      else if (lower == L"none")
        format.underline = false;
    }
  }
}

// FONT's size attribute: "N", "+N" or "-N" (relative to 3).
int FontSizeAttribute(const std::wstring& text) {
  const std::wstring value = Trim(text);
  if (value.empty()) return 0;
  std::size_t pos = 0;
  int sign = 0;
  if (value[0] == L'+' || value[0] == L'-') sign = value[0] == L'+' ? 1 : -1, pos = 1;
  if (pos >= value.size() || value[pos] < L'0' || value[pos] > L'9') return 0;
  int number = 0;
  while (pos < value.size() && value[pos] >= L'0' && value[pos] <= L'9' && number < 100)
    number = number * 10 + (value[pos++] - L'0');
  const int size = sign == 0 ? number : 3 + sign * number;
  return HtmlModel::HtmlSizeToTwips(std::clamp(size, 1, 7));
}

enum class Role { Inline, Block, Break, Picture, Skip, Cell };

Role RoleOf(std::string_view tag) {
  static constexpr std::string_view kSkip[] = {"script", "style",  "head",     "title",   "meta",    "link",
                                               "base",   "iframe", "frame",    "frameset", "noframes", "template",
                                               "object", "applet", "noscript", "xml",     "svg",     "math",
                                               "param",  "audio",  "video",    "canvas",  "map",     "area"};
  static constexpr std::string_view kBlock[] = {
      "address", "article", "aside", "blockquote", "body", "caption", "center", "dd", "dir",   "div",
      "dl",      "dt",      "fieldset", "figure", "footer", "form",  "h1",   "h2", "h3",    "h4",
      "h5",      "h6",      "header", "hr",      "html",  "li",      "main", "menu", "nav", "ol",
      "p",       "pre",     "section", "table",  "tbody", "tfoot",   "thead", "tr", "ul",   "legend",
      "listing", "xmp",     "plaintext"};
  if (tag == "br") return Role::Break;
  if (tag == "img" || tag == "embed") return Role::Picture;
  if (tag == "td" || tag == "th") return Role::Cell;
  for (std::string_view skip : kSkip)
    if (tag == skip) return Role::Skip;
  for (std::string_view block : kBlock)
    if (tag == block) return Role::Block;
  return Role::Inline;
}

// The format of an element's content, from its tag and attributes.
Format ElementFormat(xmlNode* element, std::string_view tag, const Format& outer) {
  Format format = outer;
  if (tag == "b" || tag == "strong") format.bold = true;
  if (tag == "i" || tag == "em") format.italic = true;
  if (tag == "u" || tag == "ins") format.underline = true;
  if (tag == "font") {
    COLORREF colour = 0;
    if (HasAttribute(element, "color") && ParseColour(Attribute(element, "color"), colour))
      format.hasColor = true, format.color = colour;
    if (HasAttribute(element, "size"))
      if (const int twips = FontSizeAttribute(Attribute(element, "size"))) format.twips = twips;
    if (HasAttribute(element, "face")) {
      const std::wstring face = FirstFamily(Attribute(element, "face"));
      if (!face.empty()) format.face = face;
    }
  }
  if (HasAttribute(element, "style")) ApplyStyle(Attribute(element, "style"), format);
  return format;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f'; }

// Collects the items with browser white-space rules.
class Emitter {
 public:
  Emitter(Document& document, const Options& options)
      : m_document(document), m_options(options), m_atLineStart(options.atLineStart) {}

  bool Full() const { return m_full; }
  bool AnyContent() const { return m_anyContent; }

  void Text(const std::wstring& text, const Format& format, bool pre) {
    for (wchar_t c : text) {
      if (m_full) return;
      if (pre && (c == L'\n' || c == L'\r')) {
        if (c == L'\n') Break();
        continue;
      }
      if (IsBlank(c) && !pre) {
        if (!m_atLineStart) {
          m_pendingSpace = true;
          m_spaceFormat = format;
        }
        continue;
      }
      // Control characters, the object replacement character and
      // non-characters are not text.
      if ((c < 0x20 && c != L'\t') || c == 0x7F || c == 0xFFFC || c == 0xFFFE || c == 0xFFFF) continue;
      FlushSpace();
      Append(c, format);
    }
  }

  void Picture(const std::wstring& source, bool embed) {
    if (m_full) return;
    if (m_pictures >= m_options.maxPictures) {
      m_full = true;
      return;
    }
    FlushSpace();
    Item item;
    item.kind = Item::Kind::Picture;
    item.text = source;
    item.embed = embed;
    m_document.items.push_back(std::move(item));
    ++m_pictures;
    m_atLineStart = false;
    m_anyContent = true;
  }

  // BR: always a paragraph end.
  void Break() {
    if (m_full) return;
    m_pendingSpace = false;
    Item item;
    item.kind = Item::Kind::Break;
    m_document.items.push_back(std::move(item));
    m_atLineStart = true;
    m_anyContent = true;
    m_lineLength = 0;
  }

  // A block boundary: a paragraph end unless the line is empty already.
  void EnsureLineStart() {
    if (!m_atLineStart) Break();
    m_pendingSpace = false;
  }

  // A table cell: separated from what precedes it on the line by a blank.
  void CellStart(const Format& format) {
    if (!m_atLineStart) {
      m_pendingSpace = true;
      m_spaceFormat = format;
    }
  }

 private:
  void FlushSpace() {
    if (!m_pendingSpace) return;
    m_pendingSpace = false;
    Append(L' ', m_spaceFormat);
  }

  void Append(wchar_t c, const Format& format) {
    if (m_characters >= m_options.maxCharacters) {
      m_full = true;
      return;
    }
    if (m_lineLength >= m_options.maxParagraph) Break();
    auto& items = m_document.items;
    const bool sameRun = !items.empty() && items.back().kind == Item::Kind::Text &&
                         (items.back().format == format || m_runs >= m_options.maxRuns);
    if (!sameRun) {
      Item item;
      item.format = m_runs >= m_options.maxRuns ? m_lastFormat : format;
      m_lastFormat = item.format;
      items.push_back(std::move(item));
      ++m_runs;
    }
    items.back().text.push_back(c);
    ++m_characters;
    ++m_lineLength;
    m_atLineStart = false;
    m_anyContent = true;
  }

  Document& m_document;
  const Options& m_options;
  bool m_atLineStart;
  bool m_pendingSpace = false;
  Format m_spaceFormat;
  bool m_anyContent = false;
  bool m_full = false;
  std::size_t m_characters = 0;
  std::size_t m_pictures = 0;
  std::size_t m_runs = 0;
  std::size_t m_lineLength = 0;
  Format m_lastFormat;  // the format of the last run begun
};

xmlNode* FindBody(xmlNode* node) {
  // Breadth-first over the first two levels: html > body.
  for (xmlNode* child = node; child; child = child->next) {
    if (child->type != XML_ELEMENT_NODE) continue;
    if (xmlStrcasecmp(child->name, reinterpret_cast<const xmlChar*>("body")) == 0) return child;
    for (xmlNode* inner = child->children; inner; inner = inner->next)
      if (inner->type == XML_ELEMENT_NODE &&
          xmlStrcasecmp(inner->name, reinterpret_cast<const xmlChar*>("body")) == 0)
        return inner;
  }
  return nullptr;
}

// Walks the tree without recursion, so that deeply nested markup cannot
// exhaust the stack.
void Walk(xmlNode* root, Document& document, const Options& options) {
  Emitter emitter(document, options);
  struct Open {
    xmlNode* next;
    Format format;
    Role role;
    bool pre;
  };
  std::vector<Open> stack;
  stack.push_back({root->children, options.base, Role::Inline, false});
  while (!stack.empty() && !emitter.Full()) {
    Open& top = stack.back();
    xmlNode* node = top.next;
    if (!node) {
      const Role role = top.role;
      stack.pop_back();
      if (role == Role::Block) emitter.EnsureLineStart();
      continue;
    }
    top.next = node->next;
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
      emitter.Text(Wide(node->content), top.format, top.pre);
      continue;
    }
    if (node->type != XML_ELEMENT_NODE || !node->name) continue;
    std::string tag(reinterpret_cast<const char*>(node->name));
    std::transform(tag.begin(), tag.end(), tag.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    const Role role = RoleOf(tag);
    switch (role) {
      case Role::Skip:
        continue;
      case Role::Break:
        emitter.Break();
        continue;
      case Role::Picture: {
        const std::wstring source = Trim(Attribute(node, "src"));
        if (!source.empty()) emitter.Picture(source, tag == "embed");
        continue;
      }
      default:
        break;
    }
    const Format format = ElementFormat(node, tag, top.format);
    if (!emitter.AnyContent() && !(format == top.format)) {
      document.hasTypingFormat = true;
      document.typingFormat = format;
    }
    if (role == Role::Block) emitter.EnsureLineStart();
    if (role == Role::Cell) emitter.CellStart(format);
    const bool pre = top.pre || tag == "pre" || tag == "listing" || tag == "xmp" || tag == "plaintext";
    if (node->children)
      stack.push_back({node->children, format, role, pre});
    else if (role == Role::Block)
      emitter.EnsureLineStart();
  }
  if (emitter.AnyContent()) document.hasTypingFormat = false;
}

bool ContainsBodyTag(const std::string& html) {
  for (std::size_t pos = html.find('<'); pos != std::string::npos; pos = html.find('<', pos + 1)) {
    if (pos + 5 > html.size()) break;
    if ((html[pos + 1] | 0x20) == 'b' && (html[pos + 2] | 0x20) == 'o' && (html[pos + 3] | 0x20) == 'd' &&
        (html[pos + 4] | 0x20) == 'y')
      return true;
  }
  return false;
}

}  // namespace

bool ParseColour(const std::wstring& text, COLORREF& colour) {
  const std::wstring value = Lower(Trim(text));
  if (value.empty()) return false;
  std::wstring hex = value[0] == L'#' ? value.substr(1) : value;
  const bool allHex = !hex.empty() && std::all_of(hex.begin(), hex.end(), [](wchar_t c) { return HexDigit(c) >= 0; });
  if (allHex && hex.size() == 3) hex = {hex[0], hex[0], hex[1], hex[1], hex[2], hex[2]};
  if (allHex && hex.size() == 6) {
    const int r = HexDigit(hex[0]) * 16 + HexDigit(hex[1]);
    const int g = HexDigit(hex[2]) * 16 + HexDigit(hex[3]);
    const int b = HexDigit(hex[4]) * 16 + HexDigit(hex[5]);
    colour = RGB(r, g, b);
    return true;
  }
  if (value.rfind(L"rgb(", 0) == 0 && value.back() == L')') {
    const std::wstring inner = value.substr(4, value.size() - 5);
    int parts[3] = {0, 0, 0};
    std::size_t pos = 0;
    for (int i = 0; i < 3; ++i) {
      std::size_t next = inner.find(L',', pos);
      if ((next == std::wstring::npos) != (i == 2)) return false;
      if (next == std::wstring::npos) next = inner.size();
      if (!ParseRgbComponent(inner.substr(pos, next - pos), parts[i])) return false;
      pos = next + 1;
    }
    colour = RGB(parts[0], parts[1], parts[2]);
    return true;
  }
  for (const NamedColour& named : kNamedColours)
    if (value == named.name) {
      colour = named.colour;
      return true;
    }
  return false;
}

Document ReadUtf8(const std::string& html, const Options& options) {
  static std::once_flag initialised;
  std::call_once(initialised, [] { xmlInitParser(); });
  Document document;
  std::string text = html;
  if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  // A fragment gets a body of its own: text at the very start of a document
  // would otherwise be wrapped in an implied paragraph.
  if (!ContainsBodyTag(text)) text.insert(0, "<html><body>");
  if (text.size() > static_cast<std::size_t>(INT_MAX)) return document;
  htmlDocPtr tree = htmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, "UTF-8",
                                   HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                                       HTML_PARSE_NONET | HTML_PARSE_IGNORE_ENC | HTML_PARSE_COMPACT);
  if (!tree) return document;
  xmlNode* top = xmlDocGetRootElement(tree);
  if (xmlNode* root = top ? FindBody(top) : nullptr) Walk(root, document, options);
  xmlFreeDoc(tree);
  return document;
}

Document ReadAnsi(const char* html, std::size_t length, const Options& options) {
  if (!html) return Document();
  std::size_t size = 0;
  while (size < length && html[size]) ++size;
  if (size > static_cast<std::size_t>(INT_MAX)) size = static_cast<std::size_t>(INT_MAX);
  return ReadUtf8(CodePage::AnsiToUtf8(html, static_cast<int>(size)), options);
}

}  // namespace HtmlReader
