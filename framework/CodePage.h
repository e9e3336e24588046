#pragma once
// Conversions between the ANSI code page (936), UTF-16 and UTF-8. Invalid input
// never fails: an invalid UTF-8 or GBK sequence becomes U+FFFD, and a character
// that code page 936 cannot hold becomes "?"; the rest of the text is kept.
#include <string>

#include "CString.h"
#include "FrameworkApi.h"

namespace CodePage {

ORBFW_API std::wstring AnsiToWide(const char* text, int length = -1);
ORBFW_API CString WideToAnsi(const wchar_t* text, int length = -1);
ORBFW_API std::wstring Utf8ToWide(const char* text, int length = -1);
ORBFW_API std::string WideToUtf8(const wchar_t* text, int length = -1);
ORBFW_API std::string AnsiToUtf8(const char* text, int length = -1);
ORBFW_API CString Utf8ToAnsi(const char* text, int length = -1);

}  // namespace CodePage
