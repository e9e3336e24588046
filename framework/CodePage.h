#pragma once
// Conversions between the ANSI code page (936), UTF-16 and UTF-8. Invalid input
// never fails: an invalid UTF-8 sequence or a GBK lead byte without its trail
// byte becomes U+FFFD (the byte after it is kept and decoded on its own), and
// a character that code page 936 cannot hold becomes one "?"; the rest of the
// text is kept. A null text is an empty one; length -1 means up to the NUL.
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
