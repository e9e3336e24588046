#pragma once
// A folder of its own under the temporary folder for one test, with a Chinese
// name (so ANSI paths in code page 936 are exercised), removed with its files.
#include <windows.h>

#include <string>

#include "CString.h"
#include "CodePage.h"

class TempFolder {
 public:
  TempFolder() {
    char base[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, base);
    m_strPath.Format("%s框架测试%lu_%lu\\", base, ::GetCurrentProcessId(), ++Counter());
    ::CreateDirectoryW(Wide(m_strPath).c_str(), nullptr);
  }
  ~TempFolder() {
    WIN32_FIND_DATAW found;
    const std::wstring folder = Wide(m_strPath);
    HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileW((folder + found.cFileName).c_str());
      } while (::FindNextFileW(search, &found));
      ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder's path, ending with a backslash, in code page 936.
  const CString& Path() const { return m_strPath; }
  CString File(const char* name) const { return m_strPath + name; }
  static bool Exists(const CString& path) { return ::GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }
  // The first bytes of a file (empty when it cannot be read).
  static std::string Head(const CString& path, DWORD count) {
    HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(count, '\0');
    DWORD read = 0;
    ::ReadFile(file, bytes.data(), count, &read, nullptr);
    ::CloseHandle(file);
    bytes.resize(read);
    return bytes;
  }
  static void Write(const CString& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
  }

 private:
  static std::wstring Wide(const CString& path) { return CodePage::AnsiToWide(path); }
  static unsigned long& Counter() {
    static unsigned long counter = 0;
    return counter;
  }
  CString m_strPath;
};
