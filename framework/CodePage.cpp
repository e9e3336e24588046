#include "CodePage.h"

#include <cstring>

namespace {

int Length(const char* text, int length) {
  return text ? (length < 0 ? static_cast<int>(std::strlen(text)) : length) : 0;
}
int Length(const wchar_t* text, int length) {
  return text ? (length < 0 ? static_cast<int>(std::wcslen(text)) : length) : 0;
}

std::wstring ToWide(UINT codePage, const char* text, int length) {
  length = Length(text, length);
  if (length == 0) return {};
  int n = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  if (n > 0) MultiByteToWideChar(codePage, 0, text, length, out.data(), n);
  return out;
}

std::string FromWide(UINT codePage, const wchar_t* text, int length) {
  length = Length(text, length);
  if (length == 0) return {};
  int n = WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  if (n > 0) WideCharToMultiByte(codePage, 0, text, length, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

namespace CodePage {

std::wstring AnsiToWide(const char* text, int length) { return ToWide(CP_ACP, text, length); }
CString WideToAnsi(const wchar_t* text, int length) { return CString(FromWide(CP_ACP, text, length)); }
std::wstring Utf8ToWide(const char* text, int length) { return ToWide(CP_UTF8, text, length); }
std::string WideToUtf8(const wchar_t* text, int length) { return FromWide(CP_UTF8, text, length); }

std::string AnsiToUtf8(const char* text, int length) {
  std::wstring wide = AnsiToWide(text, length);
  return WideToUtf8(wide.data(), static_cast<int>(wide.size()));
}

CString Utf8ToAnsi(const char* text, int length) {
  std::wstring wide = Utf8ToWide(text, length);
  return WideToAnsi(wide.data(), static_cast<int>(wide.size()));
}

}  // namespace CodePage
