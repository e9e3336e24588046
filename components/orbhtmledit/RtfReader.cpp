#include "RtfReader.h"

#include <windows.h>

#include <cstdlib>
#include <map>
#include <vector>

#include "PictureObject.h"

namespace RtfReader {

namespace {

using HtmlModel::Document;
using HtmlModel::Format;
using HtmlModel::Item;

// What a group's text goes to.
enum class Destination { Text, Skip, FontTable, ColourTable, Picture };

struct State {
  Destination destination = Destination::Text;
  int font = -1;
  int halfPoints = 0;  // 0: the RTF default
  int colour = 0;      // colour table index; 0: automatic
  int highlight = 0;   // colour table index; 0: none
  bool bold = false, italic = false, underline = false;
  int skipAfterUnicode = 1;  // \ucN
};

struct FontEntry {
  std::wstring face;
  UINT codePage = CP_ACP;
};

UINT CodePageOfCharset(int charset) {
  switch (charset) {
    case 0: return 1252;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return CP_ACP;
  }
}

class Reader {
 public:
  Reader(const std::string& rtf, const std::wstring& defaultFace, int defaultTwips)
      : m_rtf(rtf), m_defaultFace(defaultFace), m_defaultTwips(defaultTwips) {}

  Document Run() {
    m_stack.push_back(State{});
    while (m_pos < m_rtf.size()) {
      const char c = m_rtf[m_pos++];
      if (c == '{') {
        FlushBytes();
        m_stack.push_back(m_stack.back());
        m_starred = false;
      } else if (c == '}') {
        FlushBytes();
        EndGroup();
        if (m_stack.size() > 1) m_stack.pop_back();
      } else if (c == '\\') {
        ControlWord();
      } else if (c == '\r' || c == '\n') {
        continue;
      } else {
        Byte(static_cast<unsigned char>(c));
      }
    }
    FlushBytes();
    return std::move(m_document);
  }

 private:
  State& Top() { return m_stack.back(); }

  void ControlWord() {
    if (m_pos >= m_rtf.size()) return;
    const char first = m_rtf[m_pos];
    if (!((first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z'))) {
      ++m_pos;
      switch (first) {
        case '\'': {
          if (m_pos + 2 <= m_rtf.size()) {
            const int value = std::strtol(m_rtf.substr(m_pos, 2).c_str(), nullptr, 16);
            m_pos += 2;
            Byte(static_cast<unsigned char>(value));
          }
          return;
        }
        case '*':
          m_starred = true;
          return;
        case '~':
          Character(0xA0);
          return;
        case '\\':
        case '{':
        case '}':
          Byte(static_cast<unsigned char>(first));
          return;
        case '\r':
        case '\n':
          Paragraph();
          return;
        default:
          return;
      }
    }
    std::string word;
    while (m_pos < m_rtf.size() && ((m_rtf[m_pos] >= 'a' && m_rtf[m_pos] <= 'z') ||
                                    (m_rtf[m_pos] >= 'A' && m_rtf[m_pos] <= 'Z')))
      word += m_rtf[m_pos++];
    bool hasValue = false;
    long value = 0;
    bool negative = false;
    if (m_pos < m_rtf.size() && m_rtf[m_pos] == '-') negative = true, ++m_pos;
    while (m_pos < m_rtf.size() && m_rtf[m_pos] >= '0' && m_rtf[m_pos] <= '9') {
      if (value < 100000000) value = value * 10 + (m_rtf[m_pos] - '0');
      ++m_pos;
      hasValue = true;
    }
    if (negative) value = -value;
    if (m_pos < m_rtf.size() && m_rtf[m_pos] == ' ') ++m_pos;
    Word(word, hasValue, value);
  }

  void Word(const std::string& word, bool hasValue, long value) {
    State& state = Top();
    if (word != "u") FlushBytes();
    // Destinations.
    if (word == "fonttbl") {
      state.destination = Destination::FontTable;
      return;
    }
    if (word == "colortbl") {
      state.destination = Destination::ColourTable;
      m_colours.clear();
      m_colourPending = RGB(0, 0, 0);
      m_colourSet = false;
      return;
    }
    if (word == "pict") {
      state.destination = Destination::Picture;
      m_pictureHex.clear();
      return;
    }
    if (word == "shppict") return;  // its \pict follows
    if (word == "nonshppict" || word == "stylesheet" || word == "info" || word == "generator" ||
        word == "header" || word == "footer" || word == "listtable" || word == "listoverridetable" ||
        word == "xmlnstbl" || word == "rsidtbl" || word == "themedata" || word == "colorschememapping" ||
        word == "latentstyles" || word == "datastore" || word == "fldinst" ||
        (m_starred && state.destination == Destination::Text)) {
      state.destination = Destination::Skip;
      m_starred = false;
      return;
    }
    m_starred = false;
    if (state.destination == Destination::FontTable) {
      if (word == "f" && hasValue) m_currentFont = static_cast<int>(value);
      if (word == "fcharset" && hasValue) m_fonts[m_currentFont].codePage = CodePageOfCharset(static_cast<int>(value));
      return;
    }
    if (state.destination == Destination::ColourTable) {
      const int component = static_cast<int>(value < 0 ? 0 : value > 255 ? 255 : value);
      if (word == "red") m_colourPending = (m_colourPending & 0xFFFF00) | component, m_colourSet = true;
      if (word == "green") m_colourPending = (m_colourPending & 0xFF00FF) | (component << 8), m_colourSet = true;
      if (word == "blue") m_colourPending = (m_colourPending & 0x00FFFF) | (component << 16), m_colourSet = true;
      return;
    }
    if (state.destination != Destination::Text) return;
    if (word == "par" || word == "line") Paragraph();
    else if (word == "tab") Character(L'\t');
    else if (word == "emdash") Character(0x2014);
    else if (word == "endash") Character(0x2013);
    else if (word == "lquote") Character(0x2018);
    else if (word == "rquote") Character(0x2019);
    else if (word == "ldblquote") Character(0x201C);
    else if (word == "rdblquote") Character(0x201D);
    else if (word == "bullet") Character(0x2022);
    else if (word == "u" && hasValue) {
      FlushBytes();
      Character(static_cast<wchar_t>(value < 0 ? value + 65536 : value));
      m_skip = state.skipAfterUnicode;
    } else if (word == "uc" && hasValue) state.skipAfterUnicode = static_cast<int>(value);
    else if (word == "plain") {
      const int uc = state.skipAfterUnicode;
      const Destination destination = state.destination;
      state = State{};
      state.skipAfterUnicode = uc;
      state.destination = destination;
    } else if (word == "f" && hasValue) state.font = static_cast<int>(value);
    else if (word == "fs" && hasValue) state.halfPoints = static_cast<int>(value);
    else if (word == "cf" && hasValue) state.colour = static_cast<int>(value);
    else if ((word == "highlight" || word == "cb") && hasValue) state.highlight = static_cast<int>(value);
    else if (word == "b") state.bold = !hasValue || value != 0;
    else if (word == "i") state.italic = !hasValue || value != 0;
    else if (word == "ul") state.underline = !hasValue || value != 0;
    else if (word == "uld" || word == "uldb" || word == "ulw") state.underline = true;
    else if (word == "ulnone") state.underline = false;
  }

  void Byte(unsigned char byte) {
    State& state = Top();
    if (m_skip > 0) {
      --m_skip;
      return;
    }
    switch (state.destination) {
      case Destination::Text:
        m_bytes += static_cast<char>(byte);
        return;
      case Destination::FontTable:
        if (byte == ';') {
          m_fonts[m_currentFont].face = Decode(m_fontName, m_fonts[m_currentFont].codePage);
          m_fontName.clear();
        } else {
          m_fontName += static_cast<char>(byte);
        }
        return;
      case Destination::ColourTable:
        if (byte == ';') {
          m_colours.push_back(m_colourSet ? m_colourPending : CLR_INVALID);
          m_colourPending = RGB(0, 0, 0);
          m_colourSet = false;
        }
        return;
      case Destination::Picture:
        m_pictureHex += static_cast<char>(byte);
        return;
      case Destination::Skip:
        return;
    }
  }

  void EndGroup() {
    if (Top().destination == Destination::Picture && (m_stack.size() < 2 ||
                                                     m_stack[m_stack.size() - 2].destination != Destination::Picture)) {
      std::string bits;
      bits.reserve(m_pictureHex.size() / 2);
      int high = -1;
      for (char c : m_pictureHex) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) continue;
        if (high < 0) {
          high = digit;
        } else {
          bits += static_cast<char>(high * 16 + digit);
          high = -1;
        }
      }
      m_pictureHex.clear();
      const long index = PictureObject::IndexFromMetafile(bits);
      if (index >= 0) {
        Item item;
        item.kind = Item::Kind::Picture;
        item.record = index;
        m_document.items.push_back(std::move(item));
      }
    }
    if (Top().destination == Destination::FontTable && !m_fontName.empty()) {
      m_fonts[m_currentFont].face = Decode(m_fontName, m_fonts[m_currentFont].codePage);
      m_fontName.clear();
    }
  }

  std::wstring Decode(const std::string& bytes, UINT codePage) const {
    if (bytes.empty()) return std::wstring();
    const int size = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
      ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
    // Names end at their first blank-trimmed form.
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\0')) text.pop_back();
    while (!text.empty() && text.front() == L' ') text.erase(0, 1);
    return text;
  }

  void FlushBytes() {
    if (m_bytes.empty()) return;
    const auto font = m_fonts.find(Top().font);
    const UINT codePage = font != m_fonts.end() ? font->second.codePage : CP_ACP;
    const std::wstring text = Decode(m_bytes, codePage);
    m_bytes.clear();
    for (wchar_t c : text) Character(c);
  }

  Format CurrentFormat() {
    const State& state = Top();
    Format format;
    const auto font = m_fonts.find(state.font);
    if (font != m_fonts.end() && font->second.face != m_defaultFace) format.face = font->second.face;
    const int twips = state.halfPoints * 10;
    if (state.halfPoints > 0 && twips != m_defaultTwips) format.twips = twips;
    if (state.colour > 0 && static_cast<std::size_t>(state.colour) < m_colours.size() &&
        m_colours[state.colour] != CLR_INVALID)
      format.hasColor = true, format.color = m_colours[state.colour];
    if (state.highlight > 0 && static_cast<std::size_t>(state.highlight) < m_colours.size() &&
        m_colours[state.highlight] != CLR_INVALID)
      format.hasBack = true, format.back = m_colours[state.highlight];
    format.bold = state.bold;
    format.italic = state.italic;
    format.underline = state.underline;
    return format;
  }

  void Character(wchar_t c) {
    if (Top().destination != Destination::Text) return;
    const Format format = CurrentFormat();
    auto& items = m_document.items;
    if (items.empty() || items.back().kind != Item::Kind::Text || !(items.back().format == format)) {
      Item item;
      item.format = format;
      items.push_back(std::move(item));
    }
    items.back().text.push_back(c);
  }

  void Paragraph() {
    FlushBytes();
    Item item;
    item.kind = Item::Kind::Break;
    m_document.items.push_back(std::move(item));
  }

  const std::string& m_rtf;
  const std::wstring m_defaultFace;
  const int m_defaultTwips;
  std::size_t m_pos = 0;
  std::vector<State> m_stack;
  bool m_starred = false;
  int m_skip = 0;
  std::string m_bytes;
  std::map<int, FontEntry> m_fonts;
  int m_currentFont = -1;
  std::string m_fontName;
  std::vector<COLORREF> m_colours;
  COLORREF m_colourPending = 0;
  bool m_colourSet = false;
  std::string m_pictureHex;
  Document m_document;
};

}  // namespace

Document Read(const std::string& rtf, const std::wstring& defaultFace, int defaultTwips) {
  return Reader(rtf, defaultFace, defaultTwips).Run();
}

}  // namespace RtfReader
