#pragma once
// A fresh folder under the temporary folder (Chinese name, so code page 936
// paths are exercised), removed with its content; the host executable's path
// seam can point into it so the host files land there.
#include <string>

#include "CString.h"

class CHostTestFolder {
 public:
  CHostTestFolder();
  ~CHostTestFolder();
  CHostTestFolder(const CHostTestFolder&) = delete;
  CHostTestFolder& operator=(const CHostTestFolder&) = delete;

  // With a trailing backslash.
  const CString& Path() const { return m_strPath; }
  CString File(const char* name) const { return m_strPath + name; }
  // Writes the file, making its folder first.
  bool Write(const char* name, const std::string& bytes) const;
  std::string Read(const char* name) const;
  bool Exists(const char* name) const;

 private:
  CString m_strPath;
};

// Rows of a table of a chat database, -1 when it cannot be read.
long CountRows(const CString& dbPath, const char* table);
