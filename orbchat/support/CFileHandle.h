#pragma once
// Owner of one Win32 file handle: closed when the owner goes.
#include <windows.h>

class CFileHandle {
 public:
  explicit CFileHandle(HANDLE handle) : m_hFile(handle) {}
  CFileHandle(const CFileHandle&) = delete;
  CFileHandle& operator=(const CFileHandle&) = delete;
  ~CFileHandle() {
    if (IsValid()) CloseHandle(m_hFile);
  }
  bool IsValid() const { return m_hFile != INVALID_HANDLE_VALUE && m_hFile != nullptr; }
  HANDLE Get() const { return m_hFile; }

 private:
  HANDLE m_hFile;
};
