#include "CodePage.h"

#include <cstring>

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

int Length(const char* text, int length) {
  return text ? (length < 0 ? static_cast<int>(std::strlen(text)) : length) : 0;
}
int Length(const wchar_t* text, int length) {
  return text ? (length < 0 ? static_cast<int>(std::wcslen(text)) : length) : 0;
}

// Appends the conversion of well-formed text; should the system still refuse
// it, each byte becomes one replacement character rather than being lost.
void AppendWide(std::wstring& out, UINT codePage, const char* text, int length) {
  if (length <= 0) return;
  const int n = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
  if (n <= 0) {
    out.append(static_cast<size_t>(length), kReplacement);
    return;
  }
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(n));
  MultiByteToWideChar(codePage, 0, text, length, out.data() + at, n);
}

std::string FromWide(UINT codePage, const wchar_t* text, int length) {
  if (length <= 0) return {};
  const int n = WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(codePage, 0, text, length, out.data(), n, nullptr, nullptr);
  return out;
}

bool IsGbkTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE); }

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

namespace CodePage {

std::wstring AnsiToWide(const char* text, int length) {
  length = Length(text, length);
  std::wstring out;
  out.reserve(static_cast<size_t>(length));
  // The system's decoder swallows the byte after a lead byte even when that
  // byte cannot be a trail byte (a lead byte before a blank eats the blank),
  // so broken pairs are found here: such a lead byte alone becomes U+FFFD and
  // the next byte is decoded on its own. Well-formed runs go to the system.
  int run = 0;
  for (int i = 0; i < length;) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (!IsDBCSLeadByte(c)) {
      ++i;
      continue;
    }
    if (i + 1 < length && IsGbkTrail(static_cast<unsigned char>(text[i + 1]))) {
      i += 2;
      continue;
    }
    AppendWide(out, CP_ACP, text + run, i - run);
    out += kReplacement;
    run = ++i;
  }
  AppendWide(out, CP_ACP, text + run, length - run);
  return out;
}

CString WideToAnsi(const wchar_t* text, int length) {
  length = Length(text, length);
  // Code page 936 holds no character outside the basic plane: a surrogate
  // pair becomes one "?" (not one per half), and so does a lone surrogate.
  std::wstring cleaned;
  cleaned.reserve(static_cast<size_t>(length));
  for (int i = 0; i < length; ++i) {
    const wchar_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < length && IsLowSurrogate(text[i + 1])) {
      cleaned += L'?';
      ++i;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      cleaned += L'?';
    } else {
      cleaned += c;
    }
  }
  return CString(FromWide(CP_ACP, cleaned.data(), static_cast<int>(cleaned.size())));
}

std::wstring Utf8ToWide(const char* text, int length) {
  std::wstring out;
  AppendWide(out, CP_UTF8, text, Length(text, length));
  return out;
}

std::string WideToUtf8(const wchar_t* text, int length) { return FromWide(CP_UTF8, text, Length(text, length)); }

std::string AnsiToUtf8(const char* text, int length) {
  const std::wstring wide = AnsiToWide(text, length);
  return WideToUtf8(wide.data(), static_cast<int>(wide.size()));
}

CString Utf8ToAnsi(const char* text, int length) {
  const std::wstring wide = Utf8ToWide(text, length);
  return WideToAnsi(wide.data(), static_cast<int>(wide.size()));
}

}  // namespace CodePage
