#include <windows.h>

#include <cwchar>

#include "include/OrbChat.h"

// The output is sized from the conversion itself: a Chinese character takes
// two bytes in code page 936, so a buffer of one byte per wide character
// would cut the text short.
void CHtmlEditCtrl2::BSTR2CString(BSTR bstr, CString& out) {
  out.Empty();
  if (!bstr) return;
  const int length = static_cast<int>(std::wcslen(bstr));
  if (length == 0) return;
  const int size = ::WideCharToMultiByte(CP_ACP, 0, bstr, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return;
  char* buffer = out.GetBufferSetLength(size);
  const int written = ::WideCharToMultiByte(CP_ACP, 0, bstr, length, buffer, size, nullptr, nullptr);
  out.ReleaseBuffer(written > 0 ? written : 0);
}
