#pragma once
// The system clock as milliseconds since 1970-01-01 UTC, the unit the stores
// keep their times in.
#include <windows.h>

inline long long UnixTimeMs() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER value;
  value.LowPart = now.dwLowDateTime;
  value.HighPart = now.dwHighDateTime;
  return static_cast<long long>((value.QuadPart - 116444736000000000ULL) / 10000ULL);
}
