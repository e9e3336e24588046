#include "HtmlWriter.h"

#include <atomic>
#include <cstdio>
#include <vector>

#include "CodePage.h"

namespace HtmlWriter {

namespace {

using HtmlModel::Document;
using HtmlModel::Format;
using HtmlModel::Item;

std::wstring Colour(COLORREF colour) {
  wchar_t text[8];
  std::swprintf(text, 8, L"#%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
  return text;
}

// A face name needs quotes when it holds a blank or a character that ends an
// unquoted attribute value.
std::wstring FaceValue(const std::wstring& face) {
  for (wchar_t c : face)
    if (c == L' ' || c == L'\t' || c == L'=' || c == L'\'' || c == L'`' || c == L'"' || c == L'<' || c == L'>')
      return L"\"" + Escape(face) + L"\"";
  return Escape(face);
}

bool HasFont(const Format& format) {
  return !format.face.empty() || format.twips || format.hasColor || format.hasBack;
}

bool SameFont(const Format& a, const Format& b) {
  return a.face == b.face && a.twips == b.twips && a.hasColor == b.hasColor && (!a.hasColor || a.color == b.color) &&
         a.hasBack == b.hasBack && (!a.hasBack || a.back == b.back);
}

void OpenFont(std::wstring& out, const Format& format) {
  if (!HasFont(format)) return;
  out += L"<FONT";
  if (!format.face.empty()) out += L" face=" + FaceValue(format.face);
  if (format.twips) out += L" size=" + std::to_wstring(HtmlModel::TwipsToHtmlSize(format.twips));
  if (format.hasColor) out += L" color=" + Colour(format.color);
  if (format.hasBack) out += L" style=\"BACKGROUND-COLOR: " + Colour(format.back) + L"\"";
  out += L">";
}

void CloseFont(std::wstring& out, const Format& format) {
  if (HasFont(format)) out += L"</FONT>";
}

void OpenEffects(std::wstring& out, const Format& format) {
  if (format.bold) out += L"<B>";
  if (format.italic) out += L"<I>";
  if (format.underline) out += L"<U>";
}

void CloseEffects(std::wstring& out, const Format& format) {
  if (format.underline) out += L"</U>";
  if (format.italic) out += L"</I>";
  if (format.bold) out += L"</B>";
}

// A character code page 936 cannot hold, as a numeric reference; surrogate
// pairs as one code point.
void AppendText(std::wstring& out, const std::wstring& text, bool paragraphStart, bool paragraphEnd) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    const bool blank = c == L' ';
    if (blank) {
      const bool first = paragraphStart && i == 0;
      const bool last = paragraphEnd && i + 1 == text.size();
      const bool afterBlank = i > 0 && (text[i - 1] == L' ' || text[i - 1] == 0xA0);
      out += first || last || afterBlank ? L"&nbsp;" : L" ";
    } else if (c == L'\t') {
      out += L"&nbsp;&nbsp;&nbsp;&nbsp;";
    } else if (c == 0xA0) {
      out += L"&nbsp;";
    } else if (c == L'&') {
      out += L"&amp;";
    } else if (c == L'<') {
      out += L"&lt;";
    } else if (c == L'>') {
      out += L"&gt;";
    } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      const unsigned code = 0x10000u + ((static_cast<unsigned>(c) - 0xD800u) << 10) + (text[i + 1] - 0xDC00u);
      out += L"&#" + std::to_wstring(code) + L";";
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      out += L"&#65533;";
    } else if (c < 0x80 || IsAnsiCharacter(c)) {
      out += c;
    } else {
      out += L"&#" + std::to_wstring(static_cast<unsigned>(c)) + L";";
    }
  }
}

}  // namespace

bool IsAnsiCharacter(wchar_t c) {
  // 0 unknown, 1 held, 2 not held; filled on demand.
  static std::atomic<unsigned char> known[65536];
  const unsigned index = static_cast<unsigned>(c);
  unsigned char state = known[index].load(std::memory_order_relaxed);
  if (state == 0) {
    char bytes[4];
    BOOL usedDefault = FALSE;
    const int size = ::WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, &c, 1, bytes, sizeof bytes, nullptr,
                                           &usedDefault);
    state = size > 0 && !usedDefault ? 1 : 2;
    known[index].store(state, std::memory_order_relaxed);
  }
  return state == 1;
}

std::wstring Escape(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    switch (c) {
      case L'&': out += L"&amp;"; break;
      case L'<': out += L"&lt;"; break;
      case L'>': out += L"&gt;"; break;
      case L'"': out += L"&quot;"; break;
      default:
        if (c >= 0x80 && !(c >= 0xD800 && c <= 0xDFFF) && !IsAnsiCharacter(c))
          out += L"&#" + std::to_wstring(static_cast<unsigned>(c)) + L";";
        else
          out += c;
    }
  }
  return out;
}

std::wstring WriteBody(const Document& document) {
  std::wstring out;
  const auto& items = document.items;
  // Paragraphs are the stretches between breaks; the empty stretch after a
  // final break is not a paragraph.
  std::size_t start = 0;
  while (start < items.size()) {
    std::size_t end = start;
    while (end < items.size() && items[end].kind != Item::Kind::Break) ++end;
    out += L"<DIV>";
    if (end == start) out += L"&nbsp;";
    // Runs that share a FONT share its tag; B, I and U go inside it.
    const Format* font = nullptr;
    for (std::size_t i = start; i < end; ++i) {
      const Item& item = items[i];
      if (item.kind == Item::Kind::Picture) {
        if (font) CloseFont(out, *font), font = nullptr;
        out += item.embed ? L"<EMBED src=\"" : L"<IMG src=\"";
        out += Escape(item.text);
        out += L"\">";
        continue;
      }
      if (font && !SameFont(*font, item.format)) CloseFont(out, *font), font = nullptr;
      if (!font) OpenFont(out, item.format), font = &item.format;
      OpenEffects(out, item.format);
      AppendText(out, item.text, i == start, i + 1 == end);
      CloseEffects(out, item.format);
    }
    if (font) CloseFont(out, *font);
    out += L"</DIV>";
    start = end + 1;
  }
  return out;
}

CString WriteBodyAnsi(const Document& document) {
  const std::wstring body = WriteBody(document);
  return CodePage::WideToAnsi(body.c_str(), static_cast<int>(body.size()));
}

CString WritePage(const CString& body) {
  CString page =
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n"
      "<HTML><HEAD>\r\n"
      "<META http-equiv=Content-Type content=\"text/html; charset=gb2312\">\r\n"
      "<META content=\"OrbHtmlEdit\" name=GENERATOR></HEAD>\r\n"
      "<BODY bgColor=#ffffff>";
  page += body;
  page += "</BODY></HTML>\r\n";
  return page;
}

}  // namespace HtmlWriter
