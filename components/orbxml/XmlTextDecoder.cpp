#include "XmlTextDecoder.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

namespace {

bool IsXmlBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

}  // namespace

bool XmlTextDecoder::Decode(const std::string& bytes, std::wstring& text) {
  text.clear();
  size_t start = 0;
  unsigned codePage = 0;
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    start = 3;
    codePage = CP_UTF8;
  }
  std::string encoding;
  size_t end = start;
  if (ReadDeclaration(bytes, start, encoding, end)) {
    unsigned declared = CodePageOfName(encoding);
    // A byte order mark and a declaration that disagree make the file unreadable.
    if (declared == 0 || (codePage != 0 && declared != codePage)) return false;
    codePage = declared;
  }
  const char* data = bytes.data() + end;
  size_t size = bytes.size() - end;
  if (codePage != 0) return Convert(codePage, data, size, text);
  return Convert(CP_UTF8, data, size, text) || Convert(936, data, size, text);
}

unsigned XmlTextDecoder::CodePageOfName(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  struct Entry {
    const char* name;
    unsigned codePage;
  };
  static const Entry kNames[] = {
      {"utf-8", CP_UTF8},     {"utf8", CP_UTF8},       {"gbk", 936},        {"gb2312", 936},
      {"cp936", 936},         {"windows-936", 936},    {"x-gbk", 936},      {"gb18030", 54936},
      {"us-ascii", 20127},    {"ascii", 20127},        {"iso-8859-1", 28591}, {"latin1", 28591},
  };
  for (const Entry& entry : kNames) {
    if (name == entry.name) return entry.codePage;
  }
  return 0;
}

bool XmlTextDecoder::ReadDeclaration(const std::string& bytes, size_t start, std::string& encoding, size_t& end) {
  encoding.clear();
  end = start;
  if (bytes.compare(start, 5, "<?xml") != 0 || bytes.size() <= start + 5 || !IsXmlBlank(bytes[start + 5]))
    return false;
  size_t close = bytes.find("?>", start);
  if (close == std::string::npos) return false;  // the parser reports the broken declaration
  std::string declaration = bytes.substr(start, close - start);
  end = close + 2;
  size_t at = declaration.find("encoding");
  if (at == std::string::npos) return false;
  // From here on a declaration names an encoding; a broken or empty name is
  // as bad as an unknown one.
  at += 8;
  while (at < declaration.size() && IsXmlBlank(declaration[at])) ++at;
  if (at >= declaration.size() || declaration[at] != '=') return true;
  ++at;
  while (at < declaration.size() && IsXmlBlank(declaration[at])) ++at;
  if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) return true;
  size_t quoteEnd = declaration.find(declaration[at], at + 1);
  if (quoteEnd == std::string::npos) return true;
  encoding = declaration.substr(at + 1, quoteEnd - at - 1);
  return true;
}

bool XmlTextDecoder::Convert(unsigned codePage, const char* data, size_t size, std::wstring& text) {
  text.clear();
  if (size == 0) return true;
  if (size > 0x7FFFFFFF) return false;
  int length = static_cast<int>(size);
  int wide = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, data, length, nullptr, 0);
  if (wide <= 0) return false;
  text.resize(static_cast<size_t>(wide));
  return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, data, length, text.data(), wide) == wide;
}
