#include "MsgSearchText.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "CodePage.h"

namespace MsgSearchText {
namespace {

bool StartsWithNoCase(const std::string& text, size_t at, const char* word) {
  const size_t length = std::strlen(word);
  if (text.size() - at < length) return false;
  for (size_t i = 0; i < length; ++i)
    if (std::tolower(static_cast<unsigned char>(text[at + i])) != word[i]) return false;
  return true;
}

void AppendCodePoint(std::string& out, unsigned long code) {
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The entity at html[at] ("&..."): appended to out, and the index after it;
// a lone "&" stays itself.
size_t ReadEntity(const std::string& html, size_t at, std::string& out) {
  const size_t end = html.find(';', at);
  if (end == std::string::npos || end - at > 10) {
    out += '&';
    return at + 1;
  }
  const std::string name = html.substr(at + 1, end - at - 1);
  static const struct {
    const char* name;
    const char* text;
  } kNamed[] = {{"lt", "<"}, {"gt", ">"}, {"amp", "&"}, {"quot", "\""}, {"apos", "'"}, {"nbsp", " "}};
  for (const auto& entity : kNamed)
    if (name == entity.name) {
      out += entity.text;
      return end + 1;
    }
  if (name.size() > 1 && name[0] == '#') {
    const bool hex = name[1] == 'x' || name[1] == 'X';
    char* stop = nullptr;
    const unsigned long code = std::strtoul(name.c_str() + (hex ? 2 : 1), &stop, hex ? 16 : 10);
    if (stop && *stop == '\0') {
      AppendCodePoint(out, code);
      return end + 1;
    }
  }
  out += '&';
  return at + 1;
}

void AppendBlank(std::string& out) {
  if (!out.empty() && out.back() != ' ' && out.back() != '\n') out += ' ';
}

void AppendBreak(std::string& out) {
  while (!out.empty() && out.back() == ' ') out.pop_back();
  if (!out.empty() && out.back() != '\n') out += '\n';
}

// True for a tag (the text after "<") that ends a line of text.
bool BreaksLine(const std::string& html, size_t at) {
  size_t name = at + 1;
  if (name < html.size() && html[name] == '/') ++name;
  for (const char* tag : {"br", "div", "p", "li"})
    if (StartsWithNoCase(html, name, tag)) {
      const size_t after = name + std::strlen(tag);
      if (after >= html.size() || !std::isalnum(static_cast<unsigned char>(html[after]))) return true;
    }
  return false;
}

bool IsMimeDocument(const CString& body) {
  CString start = body.Left(64);
  start.TrimLeft();
  start.MakeLower();
  return start.Find("mime-version") == 0 || start.Find("content-type:") == 0;
}

std::string Utf8(const CString& ansi) { return CodePage::AnsiToUtf8(ansi.GetString(), ansi.GetLength()); }

}  // namespace

std::string PlainText(const std::string& html, bool keepBreaks) {
  std::string out;
  out.reserve(html.size());
  size_t i = 0;
  while (i < html.size()) {
    const char ch = html[i];
    if (ch == '<') {
      const bool script = StartsWithNoCase(html, i, "<script");
      const bool style = StartsWithNoCase(html, i, "<style");
      size_t close = html.find('>', i);
      if (close == std::string::npos) {  // a "<" that opens no tag is text
        out += ch;
        ++i;
        continue;
      }
      if (script || style) {
        const char* endTag = script ? "</script" : "</style";
        size_t at = close;
        while ((at = html.find("</", at)) != std::string::npos && !StartsWithNoCase(html, at, endTag)) ++at;
        close = at == std::string::npos ? html.size() : html.find('>', at);
        if (close == std::string::npos) break;
      }
      if (keepBreaks && BreaksLine(html, i))
        AppendBreak(out);
      else
        AppendBlank(out);
      i = close + 1;
    } else if (ch == '&') {
      i = ReadEntity(html, i, out);
    } else if (ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n') {
      AppendBlank(out);
      ++i;
    } else {
      out += ch;
      ++i;
    }
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == '\n')) out.pop_back();
  size_t first = 0;
  while (first < out.size() && (out[first] == ' ' || out[first] == '\n')) ++first;
  return out.substr(first);
}

std::string FoldQuery(const std::string& utf8) {
  std::string folded = utf8;
  for (char& ch : folded)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  return folded;
}

std::string Fold(const InfoMsgStructer& msg) {
  std::string text = Utf8(msg.from) + "\n" + PlainText(Utf8(msg.abstract));
  if (!IsMimeDocument(msg.body)) text += "\n" + PlainText(Utf8(msg.body));
  return FoldQuery(text);
}

}  // namespace MsgSearchText
