#pragma once
// An ANSI string in the system code page (936 for this module), with the
// operations of the MFC string class that the module uses. Positions and
// lengths count bytes; searching, case changes and replacing step over GBK
// double-byte characters as units, so a trail byte is never matched or changed.
#include <windows.h>
#include <oleauto.h>

#include <cstdarg>
#include <string>

#include "FrameworkApi.h"

class ORBFW_API CString {
 public:
  CString() = default;
  CString(const char* text);  // NOLINT: implicit like the MFC class
  CString(const char* text, int length);
  CString(char ch, int repeat = 1);
  CString(const std::string& text) : m_str(text) {}  // NOLINT
  CString(const CString&) = default;
  CString(CString&&) noexcept = default;
  CString& operator=(const CString&) = default;
  CString& operator=(CString&&) noexcept = default;
  CString& operator=(const char* text);
  CString& operator=(char ch);

  operator const char*() const { return m_str.c_str(); }  // NOLINT
  const char* GetString() const { return m_str.c_str(); }
  const std::string& Str() const { return m_str; }
  int GetLength() const { return static_cast<int>(m_str.size()); }
  bool IsEmpty() const { return m_str.empty(); }
  void Empty() { m_str.clear(); }
  char GetAt(int index) const;
  void SetAt(int index, char ch);
  char operator[](int index) const { return GetAt(index); }

  CString& operator+=(const CString& other);
  CString& operator+=(const char* text);
  CString& operator+=(char ch);
  void Append(const char* text, int length);

  int Compare(const char* text) const;
  int CompareNoCase(const char* text) const;

  void Format(const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));
  void AppendFormat(const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));
  void FormatV(const char* format, va_list args);

  // Blanks are the platform's white space of the C locale: space, \t \n \v \f \r.
  CString& Trim();
  CString& TrimLeft();
  CString& TrimRight();
  CString& Trim(char target);
  CString& TrimLeft(char target);
  CString& TrimRight(char target);
  CString& Trim(const char* targets);
  CString& TrimLeft(const char* targets);
  CString& TrimRight(const char* targets);

  CString& MakeUpper();
  CString& MakeLower();

  // -1 when not found; start is a byte position.
  int Find(char ch, int start = 0) const;
  int Find(const char* sub, int start = 0) const;
  int ReverseFind(char ch) const;
  int FindOneOf(const char* chars) const;
  // Number of replacements made.
  int Replace(const char* oldText, const char* newText);
  int Replace(char oldCh, char newCh);
  int Remove(char ch);
  int Insert(int index, const char* text);
  int Insert(int index, char ch);
  int Delete(int index, int count = 1);

  CString Left(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Right(int count) const;
  CString SpanIncluding(const char* chars) const;
  CString SpanExcluding(const char* chars) const;
  // Next token separated by any of tokens, starting at start; start becomes
  // -1 past the last token, as in MFC.
  CString Tokenize(const char* tokens, int& start) const;

  // Writable buffer of at least minLength bytes plus a terminator; the length
  // is fixed by ReleaseBuffer (-1: up to the first NUL).
  char* GetBuffer(int minLength = 0);
  char* GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);

  // A BSTR of the text converted from the ANSI code page; the caller frees it.
  BSTR AllocSysString() const;
  // Loads a string resource from the given module (the caller's own DLL).
  bool LoadString(HINSTANCE module, UINT id);

 private:
  std::string m_str;
};

ORBFW_API CString operator+(const CString& a, const CString& b);
ORBFW_API CString operator+(const CString& a, const char* b);
ORBFW_API CString operator+(const char* a, const CString& b);
ORBFW_API CString operator+(const CString& a, char b);
ORBFW_API CString operator+(char a, const CString& b);

inline bool operator==(const CString& a, const CString& b) { return a.Str() == b.Str(); }
inline bool operator==(const CString& a, const char* b) { return a.Compare(b ? b : "") == 0; }
inline bool operator==(const char* a, const CString& b) { return b == a; }
inline bool operator!=(const CString& a, const CString& b) { return !(a == b); }
inline bool operator!=(const CString& a, const char* b) { return !(a == b); }
inline bool operator!=(const char* a, const CString& b) { return !(b == a); }
inline bool operator<(const CString& a, const CString& b) { return a.Str() < b.Str(); }
inline bool operator>(const CString& a, const CString& b) { return b < a; }
inline bool operator<=(const CString& a, const CString& b) { return !(b < a); }
inline bool operator>=(const CString& a, const CString& b) { return !(a < b); }
