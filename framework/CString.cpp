#include "CString.h"

#include "CodePage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsLead(char c) { return IsDBCSLeadByte(static_cast<BYTE>(c)) != FALSE; }

// Calls step(pos, width) for every character of s, width 1 or 2 bytes.
template <typename Step>
void ForEachChar(const std::string& s, Step step) {
  for (size_t i = 0; i < s.size();) {
    size_t width = (IsLead(s[i]) && i + 1 < s.size()) ? 2 : 1;
    if (!step(i, width)) return;
    i += width;
  }
}

// Finds sub in s at character boundaries only. Candidates come from
// std::string::find and the boundary cursor only moves forward, so finding
// every occurrence in order (Replace) is one pass over the text.
class BoundaryScanner {
 public:
  explicit BoundaryScanner(const std::string& s) : m_s(s) {}
  // The first position at or after start, on a character boundary, where the
  // text contains sub; npos when there is none. start never goes backwards.
  size_t Next(const std::string& sub, size_t start) {
    AdvanceTo(start);
    while (m_boundary <= m_s.size()) {
      const size_t candidate = m_s.find(sub, m_boundary);
      if (candidate == std::string::npos) return std::string::npos;
      AdvanceTo(candidate);
      if (m_boundary == candidate) return candidate;
      // The candidate began inside a double-byte character: look again after it.
    }
    return std::string::npos;
  }

 private:
  void AdvanceTo(size_t target) {
    while (m_boundary < target) m_boundary += (IsLead(m_s[m_boundary]) && m_boundary + 1 < m_s.size()) ? 2 : 1;
  }
  const std::string& m_s;
  size_t m_boundary = 0;
};

size_t FindAt(const std::string& s, const std::string& sub, size_t start) {
  return BoundaryScanner(s).Next(sub, start);
}

// Whether the character at pos (width bytes) is one of the characters of set;
// a double-byte character matches only the same two bytes standing as one
// character in set. A NUL byte is never in a set.
bool InSet(const char* set, const std::string& s, size_t pos, size_t width) {
  if (!set || !*set) return false;
  if (width == 1) return s[pos] != '\0' && !IsLead(s[pos]) && std::strchr(set, s[pos]) != nullptr;
  const std::string chars(set);
  for (size_t i = 0; i < chars.size();) {
    const size_t w = (IsLead(chars[i]) && i + 1 < chars.size()) ? 2 : 1;
    if (w == 2 && chars[i] == s[pos] && chars[i + 1] == s[pos + 1]) return true;
    i += w;
  }
  return false;
}

size_t CharWidth(const std::string& s, size_t pos) { return (IsLead(s[pos]) && pos + 1 < s.size()) ? 2 : 1; }

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

}  // namespace

CString::CString(const char* text) : m_str(text ? text : "") {}
CString::CString(const char* text, int length) {
  if (text && length > 0) m_str.assign(text, static_cast<size_t>(length));
}
CString::CString(char ch, int repeat) : m_str(static_cast<size_t>(std::max(repeat, 0)), ch) {}

CString& CString::operator=(const char* text) {
  m_str = text ? text : "";
  return *this;
}
CString& CString::operator=(char ch) {
  m_str.assign(1, ch);
  return *this;
}

char CString::GetAt(int index) const {
  return (index >= 0 && index < GetLength()) ? m_str[static_cast<size_t>(index)] : '\0';
}
void CString::SetAt(int index, char ch) {
  if (index >= 0 && index < GetLength()) m_str[static_cast<size_t>(index)] = ch;
}

CString& CString::operator+=(const CString& other) {
  m_str += other.m_str;
  return *this;
}
CString& CString::operator+=(const char* text) {
  if (text) m_str += text;
  return *this;
}
CString& CString::operator+=(char ch) {
  m_str += ch;
  return *this;
}
void CString::Append(const char* text, int length) {
  if (text && length > 0) m_str.append(text, static_cast<size_t>(length));
}

int CString::Compare(const char* text) const { return std::strcmp(m_str.c_str(), text ? text : ""); }
int CString::CompareNoCase(const char* text) const {
  // Byte order with ASCII letters folded; double-byte characters compare as
  // they are. (lstrcmpi would use the locale's word sort, which orders and
  // even equates texts differently from a plain comparison.)
  const auto* a = reinterpret_cast<const unsigned char*>(m_str.c_str());
  const auto* b = reinterpret_cast<const unsigned char*>(text ? text : "");
  bool trail = false;
  for (;; ++a, ++b) {
    unsigned char x = *a;
    unsigned char y = *b;
    if (!trail) {
      x = static_cast<unsigned char>(FoldAscii(static_cast<char>(x)));
      y = static_cast<unsigned char>(FoldAscii(static_cast<char>(y)));
    }
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
    trail = !trail && IsLead(static_cast<char>(*a));
  }
}

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void CString::AppendFormat(const char* format, ...) {
  CString tail;
  va_list args;
  va_start(args, format);
  tail.FormatV(format, args);
  va_end(args);
  m_str += tail.m_str;
}

void CString::FormatV(const char* format, va_list args) {
  if (!format) {
    m_str.clear();
    return;
  }
  va_list copy;
  va_copy(copy, args);
  int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (needed < 0) {
    m_str.clear();
    return;
  }
  std::vector<char> buffer(static_cast<size_t>(needed) + 1);
  std::vsnprintf(buffer.data(), buffer.size(), format, args);
  m_str.assign(buffer.data(), static_cast<size_t>(needed));
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::TrimLeft() {
  size_t i = 0;
  while (i < m_str.size() && IsBlank(m_str[i])) ++i;
  m_str.erase(0, i);
  return *this;
}
CString& CString::TrimRight() {
  // Blank bytes are below 0x40 and can never be a GBK trail byte, so cutting
  // from the end stays on a character boundary.
  while (!m_str.empty() && IsBlank(m_str.back())) m_str.pop_back();
  return *this;
}
CString& CString::Trim(char target) { return TrimRight(target).TrimLeft(target); }
CString& CString::TrimLeft(char target) {
  const char set[2] = {target, '\0'};
  return TrimLeft(set);
}
CString& CString::TrimRight(char target) {
  const char set[2] = {target, '\0'};
  return TrimRight(set);
}
CString& CString::Trim(const char* targets) { return TrimRight(targets).TrimLeft(targets); }
CString& CString::TrimLeft(const char* targets) {
  if (!targets || !*targets) return *this;
  size_t cut = 0;
  ForEachChar(m_str, [&](size_t pos, size_t width) {
    if (!InSet(targets, m_str, pos, width)) return false;
    cut = pos + width;
    return true;
  });
  m_str.erase(0, cut);
  return *this;
}
CString& CString::TrimRight(const char* targets) {
  if (!targets || !*targets) return *this;
  size_t keep = 0;
  ForEachChar(m_str, [&](size_t pos, size_t width) {
    if (!InSet(targets, m_str, pos, width)) keep = pos + width;
    return true;
  });
  m_str.erase(keep);
  return *this;
}

CString& CString::MakeUpper() {
  ForEachChar(m_str, [&](size_t pos, size_t width) {
    if (width == 1 && m_str[pos] >= 'a' && m_str[pos] <= 'z') m_str[pos] = static_cast<char>(m_str[pos] - 'a' + 'A');
    return true;
  });
  return *this;
}
CString& CString::MakeLower() {
  ForEachChar(m_str, [&](size_t pos, size_t width) {
    if (width == 1 && m_str[pos] >= 'A' && m_str[pos] <= 'Z') m_str[pos] = static_cast<char>(m_str[pos] - 'A' + 'a');
    return true;
  });
  return *this;
}

int CString::Find(char ch, int start) const {
  const char sub[2] = {ch, '\0'};
  return ch ? Find(sub, start) : -1;
}
int CString::Find(const char* sub, int start) const {
  if (!sub || start < 0 || start > GetLength()) return -1;
  if (!*sub) return start;
  size_t pos = FindAt(m_str, sub, static_cast<size_t>(start));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}
int CString::ReverseFind(char ch) const {
  int last = -1;
  ForEachChar(m_str, [&](size_t pos, size_t width) {
    if (width == 1 && m_str[pos] == ch) last = static_cast<int>(pos);
    return true;
  });
  return last;
}
int CString::FindOneOf(const char* chars) const {
  if (!chars) return -1;
  int found = -1;
  ForEachChar(m_str, [&](size_t pos, size_t width) {
    if (InSet(chars, m_str, pos, width)) {
      found = static_cast<int>(pos);
      return false;
    }
    return true;
  });
  return found;
}

int CString::Replace(const char* oldText, const char* newText) {
  if (!oldText || !*oldText) return 0;
  const std::string from(oldText), to(newText ? newText : "");
  std::string out;
  int count = 0;
  size_t copied = 0;
  BoundaryScanner scanner(m_str);
  for (size_t pos = scanner.Next(from, 0); pos != std::string::npos; pos = scanner.Next(from, copied)) {
    out.append(m_str, copied, pos - copied);
    out += to;
    copied = pos + from.size();
    ++count;
  }
  if (count) {
    out.append(m_str, copied, std::string::npos);
    m_str.swap(out);
  }
  return count;
}
int CString::Replace(char oldCh, char newCh) {
  int count = 0;
  ForEachChar(m_str, [&](size_t pos, size_t width) {
    if (width == 1 && m_str[pos] == oldCh) {
      m_str[pos] = newCh;
      ++count;
    }
    return true;
  });
  return count;
}
int CString::Remove(char ch) {
  std::string out;
  int count = 0;
  ForEachChar(m_str, [&](size_t pos, size_t width) {
    if (width == 1 && m_str[pos] == ch)
      ++count;
    else
      out.append(m_str, pos, width);
    return true;
  });
  m_str.swap(out);
  return count;
}
int CString::Insert(int index, const char* text) {
  index = Clamp(index, 0, GetLength());
  if (text) m_str.insert(static_cast<size_t>(index), text);
  return GetLength();
}
int CString::Insert(int index, char ch) {
  const char text[2] = {ch, '\0'};
  return Insert(index, text);
}
int CString::Delete(int index, int count) {
  if (index >= 0 && index < GetLength() && count > 0) m_str.erase(static_cast<size_t>(index), static_cast<size_t>(count));
  return GetLength();
}

CString CString::Left(int count) const { return CString(m_str.substr(0, static_cast<size_t>(Clamp(count, 0, GetLength())))); }
CString CString::Mid(int first) const { return Mid(first, GetLength()); }
CString CString::Mid(int first, int count) const {
  first = Clamp(first, 0, GetLength());
  count = Clamp(count, 0, GetLength() - first);
  return CString(m_str.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}
CString CString::Right(int count) const {
  count = Clamp(count, 0, GetLength());
  return CString(m_str.substr(m_str.size() - static_cast<size_t>(count)));
}
CString CString::SpanIncluding(const char* chars) const {
  size_t n = 0;
  ForEachChar(m_str, [&](size_t pos, size_t width) {
    if (!InSet(chars, m_str, pos, width)) return false;
    n = pos + width;
    return true;
  });
  return CString(m_str.substr(0, n));
}
CString CString::SpanExcluding(const char* chars) const {
  int pos = FindOneOf(chars);
  return pos < 0 ? *this : Left(pos);
}
CString CString::Tokenize(const char* tokens, int& start) const {
  if (start < 0 || start >= GetLength() || !tokens) {
    start = -1;
    return CString();
  }
  size_t from = static_cast<size_t>(start);
  while (from < m_str.size() && InSet(tokens, m_str, from, CharWidth(m_str, from))) from += CharWidth(m_str, from);
  if (from >= m_str.size()) {
    start = -1;
    return CString();
  }
  size_t to = from;
  while (to < m_str.size() && !InSet(tokens, m_str, to, CharWidth(m_str, to))) to += CharWidth(m_str, to);
  start = static_cast<int>(to < m_str.size() ? to + CharWidth(m_str, to) : to);
  return CString(m_str.substr(from, to - from));
}

char* CString::GetBuffer(int minLength) {
  if (minLength > GetLength()) m_str.resize(static_cast<size_t>(minLength));
  return m_str.data();
}
char* CString::GetBufferSetLength(int length) {
  m_str.resize(static_cast<size_t>(std::max(length, 0)));
  return m_str.data();
}
void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0)
    m_str.resize(std::strlen(m_str.c_str()));
  else
    m_str.resize(static_cast<size_t>(std::min(newLength, GetLength())));
}

BSTR CString::AllocSysString() const {
  const std::wstring wide = CodePage::AnsiToWide(m_str.data(), GetLength());
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

bool CString::LoadString(HINSTANCE module, UINT id) {
  const wchar_t* text = nullptr;
  int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || !text) return false;
  int n = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  m_str.assign(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, length, m_str.data(), n, nullptr, nullptr);
  return true;
}

CString operator+(const CString& a, const CString& b) { return CString(a.Str() + b.Str()); }
CString operator+(const CString& a, const char* b) { return CString(a.Str() + (b ? b : "")); }
CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.Str()); }
CString operator+(const CString& a, char b) { return CString(a.Str() + b); }
CString operator+(char a, const CString& b) { return CString(std::string(1, a) + b.Str()); }
